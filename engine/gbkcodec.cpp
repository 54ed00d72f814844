#include "gbkcodec.h"

#include <cerrno>
#include <iconv.h>

namespace sekato::engine {

namespace {

// One conversion descriptor per direction and thread, opened at first use: opening one
// costs far more than converting a title, and a chapter list converts thousands of them.
class Descriptor final {
 public:
  Descriptor(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Descriptor() {
    if (Valid()) iconv_close(m_cd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_cd; }

 private:
  iconv_t m_cd;
};

std::optional<std::string> Convert(const Descriptor& descriptor, std::string_view in) {
  if (!descriptor.Valid()) return std::nullopt;
  iconv_t cd = descriptor.Get();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  std::string out(in.size() * 2 + 4, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  std::size_t used = 0;
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    ok = false;  // EILSEQ or EINVAL: a character the other side cannot hold
    break;
  }
  if (!ok) return std::nullopt;
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string> GbkCodec::FromUtf8(std::string_view utf8) {
  thread_local const Descriptor descriptor("GBK", "UTF-8");
  return Convert(descriptor, utf8);
}

std::optional<std::string> GbkCodec::ToUtf8(std::string_view gbk) {
  thread_local const Descriptor descriptor("UTF-8", "GBK");
  return Convert(descriptor, gbk);
}

}  // namespace sekato::engine
