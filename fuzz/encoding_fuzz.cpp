// Splits the input as a source of any encoding into pieces of any encoding and checks what a
// conversion must keep: every piece decodes (UTF-16 in whole code units), the pieces joined
// hold the source's text, with U+FFFD (or "?") only where the source has a byte that begins
// no character, the first of which the run reports with its offset; a run stopped by a
// character the pieces cannot hold has written text of the source up to it and no further.
// Pieces in the source's own encoding are its bytes, as the split invariants say.
//
// Input: 4 option bytes, then the source.
//   0: the source's encoding (% 6: GBK, GB18030, Big5, UTF-8, UTF-16LE, UTF-16BE)
//   1: the pieces' encoding (% 7: the source's own, then the same six)
//   2: mode (% 3), bit 2 keep-lines, bits 4-7 part limit for long lines (0: the usual)
//   3: size in KB (% 3) or parts (% 5 + 1)

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "iconvhandle.h"
#include "splitinvariants.h"
#include "splitrun.h"
#include "textrules.h"

namespace {

using sekato::engine::Encoding;
using sekato::engine::Encodings;
using sekato::engine::IconvHandle;
using sekato::engine::SplitOutcome;
using sekato::engine::TextRules;

class QuietHost final : public sekato::engine::SplitHost {
 public:
  bool Progress(std::int64_t, std::int64_t) override { return true; }
  void Warn(const sekato::engine::Message& message) override { warnings += message.Text(); }
  std::string warnings;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "conversion invariant broken: %s\n", what.c_str());
  std::abort();
}

const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "sekato-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(WorkDir(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return dir;
}

const char* IconvName(Encoding encoding) {
  return encoding == Encoding::Gbk ? "GB18030" : Encodings::IconvName(encoding);
}

// All of `bytes` through `converter`, or nothing when it refuses any of it.
std::optional<std::string> Whole(const IconvHandle& converter, const std::string& bytes) {
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* to = out.data();
  std::size_t toLeft = out.size();
  converter.Reset();
  if (converter.Convert(in, inLeft, to, toLeft) == static_cast<std::size_t>(-1) ||
      converter.Flush(to, toLeft) == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  out.resize(out.size() - toLeft);
  return out;
}

// The source's text in UTF-8, character by character, U+FFFD for every byte (or UTF-16 unit)
// that begins no character; the offset of the first such, or -1.
std::string Reference(const std::string& text, std::size_t start, Encoding encoding,
                      std::int64_t& firstInvalid) {
  firstInvalid = -1;
  std::string out;
  const IconvHandle converter("UTF-8", IconvName(encoding));
  const bool utf16 = Encodings::IsUtf16(encoding);
  const auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(text[i]);
    const auto b = static_cast<unsigned char>(text[i + 1]);
    return encoding == Encoding::Utf16Le ? (b << 8 | a) : (a << 8 | b);
  };
  for (std::size_t pos = start; pos < text.size();) {
    std::size_t length = 0;
    if (utf16) {
      if (text.size() - pos >= 2) {
        const int u = unit(pos);
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        const bool low = u >= 0xDC00 && u <= 0xDFFF;
        if (!high && !low) length = 2;
        if (high && text.size() - pos >= 4 && unit(pos + 2) >= 0xDC00 && unit(pos + 2) <= 0xDFFF) {
          length = 4;
        }
      }
    }
    bool cutOff = false;
    if (!utf16) {
      const std::size_t look = std::min<std::size_t>(4, text.size() - pos);
      if (TextRules::For(encoding).ValidPrefix(text.data() + pos, look, cutOff) > 0) {
        length = TextRules::For(encoding).CharLength(std::string_view(text.data() + pos, look), 0);
      }
    }
    const auto character = length > 0 ? Whole(converter, text.substr(pos, length)) : std::nullopt;
    if (!character) {
      // One fault: a byte or unit that begins nothing, a code left unassigned, or the
      // start of a character cut off by the end of the text.
      if (firstInvalid < 0) firstInvalid = static_cast<std::int64_t>(pos);
      out += "\xEF\xBF\xBD";
      if (length > 0) {
        pos += length;
      } else if (cutOff) {
        pos = text.size();
      } else {
        pos += utf16 && text.size() - pos >= 2 ? 2 : 1;
      }
      continue;
    }
    out += *character;
    pos += length;
  }
  return out;
}

// `utf8` without line breaks and without what stands for a fault ("?" too where the pieces'
// encoding writes that).
std::string Comparable(const std::string& utf8, bool question) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8.compare(i, 3, "\xEF\xBF\xBD") == 0) {
      i += 2;
      continue;
    }
    if (utf8[i] == '\r' || utf8[i] == '\n' || (question && utf8[i] == '?')) continue;
    out += utf8[i];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || size > (1 << 14)) return 0;
  static const Encoding kEncodings[] = {Encoding::Gbk,  Encoding::Gb18030, Encoding::Big5,
                                        Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be};
  const Encoding source = kEncodings[data[0] % 6];
  const Encoding to = data[1] % 7 == 0 ? Encoding::Auto : kEncodings[data[1] % 7 - 1];
  const Encoding output = to == Encoding::Auto ? source : to;
  const std::string bytes(reinterpret_cast<const char*>(data) + 4, size - 4);

  const std::filesystem::path& dir = WorkDir();
  const std::string sourcePath = (dir / "src.txt").string();
  const std::string out = (dir / "out").string();
  std::filesystem::remove_all(out);
  std::ofstream(sourcePath, std::ios::binary) << bytes;

  sekato::engine::SplitOptions o;
  o.sourcePath = sourcePath;
  o.sourceTitle = "src";
  o.folder = sekato::engine::FolderChoice::NewFolder;
  o.newFolder = out;
  o.mode = static_cast<sekato::engine::SplitMode>(data[2] % 3);
  o.keepLines = (data[2] & 4) != 0;
  o.maxKb = data[3] % 3;
  o.parts = 1 + data[3] % 5;
  o.keywords = "1";
  o.numerals = sekato::engine::Numerals::Series::Ascii;
  o.noPromotion = true;
  o.encoding = source;
  o.outEncoding = to;
  QuietHost host;
  sekato::engine::SplitRun run(o, host);
  if ((data[2] >> 4) != 0) run.SetPartLimit(4 + (data[2] >> 4));
  const sekato::engine::SplitEnd end = run.Execute();
  const SplitOutcome outcome = end.outcome;
  if (outcome == SplitOutcome::Refused) return 0;
  if (outcome == SplitOutcome::Failed && end.message.id != sekato::engine::MessageId::UnwritableInSource) {
    Fail("the run failed: " + end.message.Text());
  }

  const std::string mark(Encodings::ByteOrderMark(source));
  const std::size_t start =
      !mark.empty() && bytes.compare(0, mark.size(), mark) == 0 ? mark.size() : 0;
  const bool asItIs = output == source;
  if (asItIs && outcome == SplitOutcome::Completed) {
    // Bytes (in UTF-16 code units, lone surrogates included) kept as they are.
    if (Encodings::IsUtf16(source) && (bytes.size() - start) % 2 != 0) return 0;
    const std::string wrong = sekato::engine::test::CheckSplitInvariants(bytes, out, "src", source);
    if (!wrong.empty()) Fail(wrong);
    return 0;
  }
  if (asItIs && !Encodings::IsUtf16(source)) Fail("a run that converts nothing failed");

  // Every piece decodes; joined, they are the source's text.
  std::map<long long, std::string> pieces;
  for (const auto& entry : std::filesystem::directory_iterator(out)) {
    const std::string name = entry.path().filename().string();
    pieces.emplace(std::stoll(name.substr(4)), name);
  }
  const IconvHandle decoder(
      "UTF-8", Encodings::IsUtf16(output) ? Encodings::IconvName(output) : IconvName(output));
  const std::string pieceMark(Encodings::IsUtf16(output) ? Encodings::ByteOrderMark(output) : "");
  std::string joined;
  for (const auto& [number, name] : pieces) {
    std::ifstream in(std::filesystem::path(out) / name, std::ios::binary);
    std::string piece((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (piece.compare(0, pieceMark.size(), pieceMark) != 0) Fail(name + " lacks its mark");
    piece.erase(0, pieceMark.size());
    if (piece.size() % (pieceMark.empty() ? 1 : 2) != 0) Fail(name + " ends inside a code unit");
    bool cutOff = false;
    if (output == Encoding::Gbk &&
        TextRules::For(output).ValidPrefix(piece.data(), piece.size(), cutOff) != piece.size()) {
      Fail(name + " is not GBK");
    }
    const auto text = Whole(decoder, piece);
    if (!text) Fail(name + " does not decode");
    joined += *text;
  }
  std::int64_t firstInvalid = -1;
  const bool question = output == Encoding::Gbk || output == Encoding::Big5;
  const std::string expected = Comparable(Reference(bytes, start, source, firstInvalid), question);
  const std::string got = Comparable(joined, question);
  if (outcome == SplitOutcome::Completed ? got != expected
                                         : expected.compare(0, got.size(), got) != 0) {
    std::size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    Fail("the pieces are not the source's text from byte " + std::to_string(at) + " of " +
         std::to_string(expected.size()) + ": \"" + got.substr(at, 24) + "\" for \"" +
         expected.substr(at, 24) + "\"");
  }
  if (firstInvalid >= 0 && outcome == SplitOutcome::Completed &&
      host.warnings.find("第 " + std::to_string(firstInvalid) + " 字节") == std::string::npos) {
    Fail("the first fault at " + std::to_string(firstInvalid) +
         " is not the one reported: " + host.warnings);
  }
  if (firstInvalid < 0 && !host.warnings.empty()) Fail("a fault reported in valid text");
  return 0;
}
