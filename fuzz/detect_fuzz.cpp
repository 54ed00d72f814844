// Reads the input as chapter numbers and as the start of a source, and checks what the
// numeral reader and the encoding detection must always do:
//  - a number written in a series reads back as itself, and a run of numerals never reaches
//    past the text or ends inside a character;
//  - detection answers the same twice, counts a byte-order mark only where one stands, and
//    calls a source UTF-8 without a mark only when it is UTF-8 or the guesser says so.
//
// Input: 4 bytes of a number and its series, then the text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sekato/encodingdetector.h"
#include "numeralreader.h"
#include "sekato/numerals.h"
#include "sekato/textrules.h"

namespace {

using sekato::engine::Encoding;
using sekato::engine::Encodings;
using sekato::engine::NumeralReader;
using sekato::engine::Numerals;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "numeral or detection invariant broken: %s\n", what.c_str());
  std::abort();
}

void CheckNumerals(std::uint32_t seed, std::string_view text) {
  const auto series = Numerals::FromIndex(static_cast<int>(seed % 3));
  const std::int64_t n = 1 + (seed >> 2) % 99999999;
  const std::string written = Numerals::Text(n, series);
  if (NumeralReader::RunEnd(written, 0, series) != written.size()) {
    Fail("the run of " + std::to_string(n) + " stops early");
  }
  if (NumeralReader::Value(written, series) != n) Fail(std::to_string(n) + " reads otherwise");
  // Any text, walked as GBK: a run starts and ends on characters, within the text.
  const auto& rules = sekato::engine::TextRules::For(Encoding::Gbk);
  for (std::size_t pos = 0; pos < text.size(); pos += rules.CharLength(text, pos)) {
    for (const auto each :
         {Numerals::Series::Ascii, Numerals::Series::FullWidth, Numerals::Series::Chinese}) {
      const std::size_t end = NumeralReader::RunEnd(text, pos, each);
      if (end < pos || end > text.size()) Fail("a run beyond the text");
      if (end > pos && rules.BoundaryAtOrBelow(text, end) != end) Fail("a run inside a character");
      if (end > pos) (void)NumeralReader::Value(text.substr(pos, end - pos), each);
    }
    std::size_t end = pos;
    std::int64_t value = 0;
    if (NumeralReader::ReadAny(text, pos, end, value) && (end <= pos || end > text.size())) {
      Fail("ReadAny beyond the text");
    }
  }
}

void CheckDetection(std::string_view text) {
  for (const bool whole : {true, false}) {
    const auto first = sekato::engine::EncodingDetector::Detect(text, whole);
    const auto again = sekato::engine::EncodingDetector::Detect(text, whole);
    if (first.encoding != again.encoding || first.markBytes != again.markBytes) {
      Fail("detection answers twice differently");
    }
    if (first.markBytes > 0) {
      const std::string_view mark = Encodings::ByteOrderMark(first.encoding);
      if (mark.size() != first.markBytes || text.substr(0, mark.size()) != mark) {
        Fail("a mark counted where none stands");
      }
    }
    if (first.unmarkedUtf16 && first.markBytes > 0) Fail("unmarked UTF-16 with a mark");
    if (first.encoding == Encoding::Big5) {
      bool cutOff = false;
      const std::size_t valid = sekato::engine::TextRules::For(Encoding::Big5)
                                    .ValidPrefix(text.data(), text.size(), cutOff);
      if (valid != text.size() && !(cutOff && !whole)) Fail("Big5 for text that is not Big5");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || size > (1 << 16)) return 0;
  const std::uint32_t seed = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                             std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
  const std::string_view text(reinterpret_cast<const char*>(data) + 4, size - 4);
  CheckNumerals(seed, text);
  CheckDetection(text);
  return 0;
}
