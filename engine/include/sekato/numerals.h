#pragma once

#include <cstdint>
#include <string>

namespace sekato::engine {

/// The text a "?" in a keyword stands for: a chapter number in one of three series (GBK).
class Numerals final {
 public:
  /// The numeral series, in the order the window's list and the command line offer them.
  enum class Series {
    None = -1,      ///< nothing chosen: a "?" in the keywords refuses the run
    Ascii = 0,      ///< "1,2,3..."
    FullWidth = 1,  ///< "１,２，３..."
    Chinese = 2,    ///< "一,二,三..."
  };

  /// The series at `index` of the window's list (0, 1, 2); None for any other index, so the
  /// list's "no selection" (-1) is None too.
  static Series FromIndex(int index) {
    return index >= 0 && index <= 2 ? static_cast<Series>(index) : Series::None;
  }

  /// `n` (≥ 1) written in `series`. ASCII and full-width digits write the decimal number
  /// digit by digit (12 → "12" or "１２"). Chinese numerals are written as books write them:
  /// trailing zeros write nothing, a run of inner zeros writes one 零, 10–19 start with 十,
  /// and from 10000 on the number is grouped by 万 (and 亿):
  /// 10 十, 11 十一, 20 二十, 100 一百, 101 一百零一, 110 一百一十, 1005 一千零五,
  /// 1010 一千零一十, 10010 一万零一十, 12345 一万二千三百四十五, 100000 十万,
  /// 110000 十一万, 1000000 一百万.
  static std::string Text(std::int64_t n, Series series);
};

}  // namespace sekato::engine
