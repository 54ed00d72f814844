#include "textcodec.h"

#include <cerrno>
#include <iconv.h>

namespace sekato::engine {

std::size_t TextCodec::ConvertPrefix(std::string_view text, Encoding from, Encoding to,
                                     std::string& out) {
  iconv_t cd = iconv_open(Encodings::IconvName(to), Encodings::IconvName(from));
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  const std::size_t start = out.size();
  out.resize(start + text.size() * 2 + 8);
  char* inPtr = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  std::size_t used = start;
  while (true) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    // Once the input is used up, the converter lets go of what it held back to see whether
    // the next character combines with it (Big5-HKSCS does).
    const bool flush = inLeft == 0;
    const std::size_t rc = flush ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                 : iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) {
      if (flush) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    break;  // EILSEQ or EINVAL: a character that cannot be read or written
  }
  iconv_close(cd);
  out.resize(used);
  return text.size() - inLeft;
}

std::optional<std::string> TextCodec::Convert(std::string_view text, Encoding from,
                                              Encoding to) {
  if (from == to) return std::string(text);
  std::string out;
  if (ConvertPrefix(text, from, to, out) != text.size()) return std::nullopt;
  return out;
}

std::optional<std::string> TextCodec::Unwritable(std::string_view utf8, Encoding to) {
  std::string out;
  const std::size_t done = ConvertPrefix(utf8, Encoding::Utf8, to, out);
  if (done == utf8.size()) return std::nullopt;
  std::size_t end = done + 1;
  while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
  return std::string(utf8.substr(done, end - done));
}

}  // namespace sekato::engine
