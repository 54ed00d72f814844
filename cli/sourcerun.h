#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "sekato/splithost.h"
#include "sekato/splitoptions.h"

namespace sekato::cli {

/// One source's turn on the command line: its split or its listing, what the terminal is told
/// of it, and the exit status it ends with (CliApp::kExitDone and the others).
class SourceRun final {
 public:
  /// `options` are the source's own (its path in `options.sourcePath`); `prefix` stands
  /// before its messages ("novel.txt: " in a batch); `bar` shows a progress bar; `running`
  /// is lowered by Ctrl-C.
  SourceRun(engine::SplitOptions options, std::string prefix, bool quiet, bool bar,
            std::atomic<int>& running);

  /// Splits the source, first removing the pieces of an earlier split in its folder when
  /// `clean`; a summary follows unless quiet. The chapter list goes to the split, not a
  /// copy of it: Split is for once.
  int Split(bool clean);
  /// Inspects the source and writes its listing to `out`: the table with the rule counts, or
  /// with `json` one JSON object, which also tells of a source that could not be inspected.
  int List(bool json, std::FILE* out) const;

 private:
  /// What is said after a completed split: older pieces kept, volumes not found, the summary.
  void TellAfterSplit(const engine::SplitEnd& end, const std::vector<std::string>& older,
                      double seconds) const;

  engine::SplitOptions m_options;
  std::string m_strPrefix;
  bool m_bQuiet;
  bool m_bBar;
  std::atomic<int>& m_running;
};

}  // namespace sekato::cli
