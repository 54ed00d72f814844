#pragma once

#include <cstdint>
#include <string>

#include "sekato/scanresult.h"
#include "sekato/splithost.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

/// Looks at the source the way a chapter split with the same options would, and writes
/// nothing: the headings found, the pieces they make, the chapter numbers that are missing,
/// repeated or out of order, and what would find the headings when the options miss them.
///
/// The pass sees each line the split would see, with the same clean-up and heading matcher,
/// so what it lists is what a split would cut at, whatever the split mode the options are
/// in. It only looks closer at the lines that hold a piece of a keyword, 第 or "Chapter"
/// (found block by block with vector code, see LineSieve): no other line can be a heading,
/// a near miss or a heading form. A source converted as it is read (UTF-16) is read line by
/// line instead, as are keywords without a piece of two bytes ("?", "1"). The source is read
/// in its own encoding (detected or chosen), offsets and sizes count its bytes, and the
/// pieces' encoding plays no part. Memory holds only the list of headings.
///
/// Example: the sample novel with keywords "第 回" and title limit 30 gives 121 headings,
/// 121 pieces, and 35 repeated (lines 5976, 6106).
class ChapterScan final {
 public:
  /// `host`, when given, is told the source's encoding and the progress every megabyte or
  /// so; when it asks to stop, the pass ends with status Stopped.
  static ScanResult Run(const SplitOptions& options, SplitHost* host = nullptr);

  /// The hash a chapter list carries to tell its book from others (see ChapterList): XXH3
  /// of the file's bytes as 16 hex digits; empty when the file cannot be read.
  static std::string SourceHash(const std::string& path);

 private:
  static ScanResult RunTransformed(const SplitOptions& options, SplitHost* host);
};

}  // namespace sekato::engine
