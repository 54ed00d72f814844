#include "textcodec.h"

#include <cstdint>

#include "codecstage.h"
#include "sekato/textrules.h"

namespace sekato::engine {

namespace {

// Runs `stage` over all of `text` into `out` (appended) until the first byte or character it
// stops at; the bytes of `text` taken.
std::size_t RunStage(CodecStage& stage, std::string_view text, std::string& out) {
  const char* in = text.data();
  std::size_t inLeft = text.size();
  std::size_t used = out.size();
  out.resize(used + text.size() * 2 + 16);
  bool done = false;
  while (true) {
    char* to = out.data() + used;
    std::size_t toLeft = out.size() - used;
    bool room = true;
    if (!done) {
      const CodecStage::Result result = stage.Step(in, inLeft, to, toLeft, true);
      done = result.end == CodecStage::End::Done;
      room = result.end != CodecStage::End::NoRoom;
      if (!done && room) {  // invalid or unwritable: the prefix ends here
        used = out.size() - toLeft;
        break;
      }
    }
    if (done) room = stage.Finish(to, toLeft);
    used = out.size() - toLeft;
    if (done && room) break;
    out.resize(out.size() * 2 + 16);
  }
  out.resize(used);
  return text.size() - inLeft;
}

// UTF-8 into UTF-16 while it is valid; the bytes taken.
std::size_t Utf8ToUtf16(std::string_view utf8, bool bigEndian, std::string& out) {
  bool cutOff = false;
  const std::size_t valid =
      TextRules::For(Encoding::Utf8).ValidPrefix(utf8.data(), utf8.size(), cutOff);
  const auto put = [&](std::uint32_t unit) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  };
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t i = 0; i < valid;) {
    const unsigned char b = p[i];
    const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    std::uint32_t cp = length == 1 ? b : length == 2 ? b & 0x1Fu : length == 3 ? b & 0x0Fu : b & 7u;
    for (std::size_t k = 1; k < length; ++k) cp = cp << 6 | (p[i + k] & 0x3Fu);
    if (cp >= 0x10000) {
      put(0xD800 | ((cp - 0x10000) >> 10));
      put(0xDC00 | ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    i += length;
  }
  return valid;
}

// Bytes of `text` (in `from`) whose characters make the first `utf8Bytes` bytes of its UTF-8.
std::size_t SourceBytesBefore(std::string_view text, Encoding from, std::size_t utf8Bytes) {
  std::size_t pos = 0;
  std::size_t decoded = 0;
  const TextRules& rules = TextRules::For(from);
  while (pos < text.size()) {
    std::size_t length = 2;
    if (!Encodings::IsUtf16(from)) {
      length = rules.CharLength(text, pos);
    } else if (text.size() - pos >= 4) {
      const auto unit = static_cast<unsigned char>(text[pos + (from == Encoding::Utf16Le ? 1 : 0)]);
      if (unit >= 0xD8 && unit <= 0xDB) length = 4;
    }
    CodecStage stage = CodecStage::Decoder(from);
    std::string one;
    if (RunStage(stage, text.substr(pos, length), one) != length) return pos;
    if (decoded + one.size() > utf8Bytes) return pos;
    decoded += one.size();
    pos += length;
  }
  return pos;
}

}  // namespace

std::size_t TextCodec::ConvertPrefix(std::string_view text, Encoding from, Encoding to,
                                     std::string& out) {
  if (from == Encoding::Auto) from = Encoding::Gbk;
  if (to == Encoding::Auto) to = from;
  if (from == to && !Encodings::IsUtf16(from)) {
    bool cutOff = false;
    const std::size_t valid = TextRules::For(from).ValidPrefix(text.data(), text.size(), cutOff);
    out.append(text.substr(0, valid));
    return valid;
  }
  std::string utf8;
  CodecStage decoder = CodecStage::Decoder(from);
  const std::size_t taken = RunStage(decoder, text, to == Encoding::Utf8 ? out : utf8);
  if (to == Encoding::Utf8) return taken;
  std::size_t done = 0;
  if (Encodings::IsUtf16(to)) {
    done = Utf8ToUtf16(utf8, to == Encoding::Utf16Be, out);
  } else {
    CodecStage encoder = CodecStage::Encoder(to);
    done = RunStage(encoder, utf8, out);
  }
  return done == utf8.size() ? taken : SourceBytesBefore(text, from, done);
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
