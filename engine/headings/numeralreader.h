#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sekato/numerals.h"

namespace sekato::engine {

/// Reads chapter numbers as books write them, in the three numeral series of "?" (GBK).
///
/// A number is a maximal run of numeral characters of one series:
///  - ASCII digits, leading zeros allowed: "001" → 1;
///  - full-width digits ０–９, likewise: "０１" → 1;
///  - Chinese numerals, in the standard spelling and its common variants: a 零 left out
///    ("一百一" → 101, "一千一十" → 1010), 十 without its 一 after a higher unit or 零
///    ("一百十" → 110, "一千零十" → 1010), 两 for 二 before 百, 千 or 万 ("两百" → 200),
///    digits one by one with 〇 or 零 ("一〇一" → 101), the financial forms 壹…玖 拾 佰 仟,
///    groups of 万 and 亿 ("一万零一十" → 10010), and the traditional 萬 億 兩 貳 參 陸.
///  - a short spoken form, where a last digit stands for the next unit down ("一百三" for
///    130, "一千二" for 1200, "三万五" for 35000), is read both ways: Value reads the digit
///    as the ones (103), SpokenValue as spoken (130), and a chapter expected to be either
///    accepts it (see Reads). "一百零三" is 103 only.
/// A run that is not a number in any of these spellings ("十十", "百", "两十") reads as
/// kUnreadable, so it never stands for a chapter.
class NumeralReader final {
 public:
  static constexpr std::int64_t kUnreadable = -1;

  /// The end of the run of numeral characters of `series` that starts at byte `pos`, a
  /// character boundary; `pos` when none starts there (always for Series::None).
  static std::size_t RunEnd(std::string_view text, std::size_t pos, Numerals::Series series);

  /// True when a numeral character of `series` starts at byte `pos`.
  static bool StartsRun(std::string_view text, std::size_t pos, Numerals::Series series) {
    return RunEnd(text, pos, series) > pos;
  }

  /// The value of a whole run of `series` (as RunEnd delimits it), or kUnreadable.
  static std::int64_t Value(std::string_view run, Numerals::Series series);

  /// The value with a last digit read as spoken ("一百三" → 130); Value when the run has no
  /// such digit.
  static std::int64_t SpokenValue(std::string_view run, Numerals::Series series);

  /// True when either reading of a whole run is `number`.
  static bool Reads(std::string_view run, Numerals::Series series, std::int64_t number);

  /// Reads a number of whichever series starts at `pos`: its value (or kUnreadable) and the
  /// run's end in `end`; false when no numeral character starts there.
  static bool ReadAny(std::string_view text, std::size_t pos, std::size_t& end,
                      std::int64_t& value);
};

}  // namespace sekato::engine
