#pragma once

#include <cstdint>
#include <functional>

#include "numerals.h"
#include "scanresult.h"
#include "splitoptions.h"

namespace sekato::engine {

/// Looks at the source the way a chapter split with the same options would, and writes
/// nothing: the headings found, the pieces they make, the chapter numbers that are missing,
/// repeated or out of order, and what would find the headings when the options miss them.
///
/// The pass reads the source line by line with the same line reading, clean-up and heading
/// matcher as the split, so what it lists is what a split would cut at, whatever the split
/// mode the options are in. The source is read in its own encoding (detected or chosen),
/// offsets and sizes count its bytes, and the pieces' encoding plays no part. Memory holds
/// only the list of headings.
///
/// Example: the sample novel with keywords "第 回" and title limit 30 gives 121 headings,
/// 121 pieces, and 35 repeated (lines 5976, 6106).
class ChapterScan final {
 public:
  /// Called every megabyte or so with the source position and length; returning false
  /// stops the pass (status Stopped).
  using Progress = std::function<bool(std::int64_t position, std::int64_t length)>;

  /// `series` is the numeral series for "?", as a split would get it.
  static ScanResult Run(const SplitOptions& options, Numerals::Series series,
                        const Progress& progress = {});
};

}  // namespace sekato::engine
