#include "textcodec.h"

#include "textconverter.h"

namespace sekato::engine {

std::size_t TextCodec::ConvertPrefix(std::string_view text, Encoding from, Encoding to,
                                     std::string& out) {
  return TextConverter(from, to).ConvertPrefix(text, out);
}

std::optional<std::string> TextCodec::Convert(std::string_view text, Encoding from, Encoding to) {
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
