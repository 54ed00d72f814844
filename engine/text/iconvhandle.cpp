#include "iconvhandle.h"

#include <iconv.h>

#include <utility>

namespace sekato::engine {

namespace {
iconv_t Descriptor(void* cd) { return static_cast<iconv_t>(cd); }
}  // namespace

IconvHandle::IconvHandle(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd != reinterpret_cast<iconv_t>(-1)) m_cd = cd;
}

IconvHandle::~IconvHandle() { Close(); }

IconvHandle::IconvHandle(IconvHandle&& other) noexcept : m_cd(std::exchange(other.m_cd, nullptr)) {}

IconvHandle& IconvHandle::operator=(IconvHandle&& other) noexcept {
  if (this != &other) {
    Close();
    m_cd = std::exchange(other.m_cd, nullptr);
  }
  return *this;
}

void IconvHandle::Close() {
  if (m_cd != nullptr) iconv_close(Descriptor(m_cd));
  m_cd = nullptr;
}

std::size_t IconvHandle::Convert(char*& in, std::size_t& inLeft, char*& out,
                                 std::size_t& outLeft) const {
  return iconv(Descriptor(m_cd), &in, &inLeft, &out, &outLeft);
}

std::size_t IconvHandle::Flush(char*& out, std::size_t& outLeft) const {
  return iconv(Descriptor(m_cd), nullptr, nullptr, &out, &outLeft);
}

void IconvHandle::Reset() const { iconv(Descriptor(m_cd), nullptr, nullptr, nullptr, nullptr); }

}  // namespace sekato::engine
