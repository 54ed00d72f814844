#pragma once

#include <string>
#include <vector>

#include "sekato/runtally.h"
#include "sekato/splitoptions.h"

namespace sekato::cli {

/// What the command line says around one split, on stderr: the older pieces of an earlier
/// split in its folder (removed with --clean, or warned of), and the line after it.
class SplitReport final {
 public:
  /// --clean: removes every older piece from the run's folder; false after saying why not.
  static bool RemoveOlderPieces(const engine::SplitOptions& options, const std::string& prefix);
  /// After a completed split: how many older pieces (`older`) it left in its folder, if any.
  static void WarnOfOlderPieces(const engine::SplitOptions& options,
                                const std::vector<std::string>& older, const std::string& prefix);
  /// The line after a completed split: what was written, where, in what time, and the chapter
  /// report's numbering notes and hints when the chapters look wrong.
  /// Example: "写出 121 个文件到 /tmp/out，找到 121 个章节标题，用时 0.05 秒".
  static void PrintSummary(const std::string& source, const engine::SplitOptions& options,
                           const engine::RunTally& tally, const std::string& prefix,
                           double seconds);
};

}  // namespace sekato::cli
