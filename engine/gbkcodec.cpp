#include "gbkcodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

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

// Bytes to skip at an unconvertible spot of UTF-8 input: a whole character when one starts
// there (it is simply not in GBK), otherwise the one bad byte.
std::size_t Utf8Skip(const char* at, std::size_t left) {
  const auto lead = static_cast<unsigned char>(at[0]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length > left) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

std::size_t OneByte(const char* /*at*/, std::size_t /*left*/) { return 1; }

// Converts `in`. Without a `mark`, a sequence the other side cannot hold gives nothing; with
// one, it is skipped (`skip` says how many bytes) and `mark` written in its place.
std::optional<std::string> Convert(const Descriptor& descriptor, std::string_view in,
                                   const char* mark = nullptr,
                                   std::size_t (*skip)(const char*, std::size_t) = OneByte) {
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
    // EILSEQ or EINVAL: a character the other side cannot hold, or one cut off at the end.
    if (mark == nullptr) {
      ok = false;
      break;
    }
    const std::size_t bad = std::min(skip(inPtr, inLeft), inLeft);
    inPtr += bad;
    inLeft -= bad;
    out.resize(used);
    out += mark;
    used = out.size();
    out.resize(used + inLeft * 2 + 4);
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

std::string GbkCodec::FromUtf8OrMark(std::string_view utf8) {
  thread_local const Descriptor descriptor("GBK", "UTF-8");
  return Convert(descriptor, utf8, "?", Utf8Skip).value_or(std::string(utf8));
}

std::string GbkCodec::ToUtf8OrMark(std::string_view gbk) {
  thread_local const Descriptor descriptor("UTF-8", "GBK");
  return Convert(descriptor, gbk, "\xEF\xBF\xBD").value_or(std::string(gbk));
}

}  // namespace sekato::engine
