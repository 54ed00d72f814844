#include "sekato/gbkcodec.h"

#include "codecstage.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

// Converts all of `text` with `stage`; whatever it cannot read or write is replaced.
std::string ConvertMarking(CodecStage stage, std::string_view text) {
  std::string out(text.size() * 2 + 16, '\0');
  const char* in = text.data();
  std::size_t inLeft = text.size();
  std::size_t used = 0;
  while (true) {
    char* to = out.data() + used;
    std::size_t toLeft = out.size() - used;
    const CodecStage::Result result = stage.Step(in, inLeft, to, toLeft, true);
    bool room = result.end != CodecStage::End::NoRoom;
    if (result.end == CodecStage::End::Done) {
      room = stage.Finish(to, toLeft);
      if (room) {
        used = out.size() - toLeft;
        break;
      }
    } else if (room) {  // invalid or unwritable: replaced, and on past it
      // The replacement of a byte the other side cannot hold ("?" or U+FFFD).
      room = stage.Replace(in, 1, to, toLeft);
      if (room) {
        in += result.length;
        inLeft -= result.length;
      }
    }
    used = out.size() - toLeft;
    if (!room) out.resize(out.size() * 2 + 16);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string> GbkCodec::FromUtf8(std::string_view utf8) {
  return TextCodec::Convert(utf8, Encoding::Utf8, Encoding::Gbk);
}

std::optional<std::string> GbkCodec::ToUtf8(std::string_view gbk) {
  return TextCodec::Convert(gbk, Encoding::Gbk, Encoding::Utf8);
}

std::string GbkCodec::FromUtf8OrMark(std::string_view utf8) {
  return ConvertMarking(CodecStage::Encoder(Encoding::Gbk), utf8);
}

std::string GbkCodec::ToUtf8OrMark(std::string_view gbk) {
  return ConvertMarking(CodecStage::Decoder(Encoding::Gbk), gbk);
}

}  // namespace sekato::engine
