#include "markupgbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace sekato::controls {

namespace {

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

// Converts `in` with iconv from `from` to `to`; a byte sequence that does not convert is
// skipped (`skip` says how many bytes) and `replacement` written in its place.
template <typename Skip>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, Skip skip) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);

  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL: a sequence that is invalid here, or cut off at the end.
    const std::size_t bad = skip(inPtr, inLeft);
    inPtr += bad;
    inLeft -= bad;
    out += replacement;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string MarkupGbk::FromUtf8(std::string_view utf8) {
  return Convert("GBK", "UTF-8", utf8, "?", Utf8Skip);
}

std::string MarkupGbk::ToUtf8(std::string_view gbk) {
  const auto oneByte = [](const char*, std::size_t) { return std::size_t{1}; };
  return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", oneByte);
}

}  // namespace sekato::controls
