#pragma once

#include "splithost.h"
#include "splitoptions.h"

namespace sekato::engine {

/// One split of one source file into pieces.
///
/// The run works on its own copy of the options and talks to its caller only through the
/// host. It reads the source once, line by line, and holds nothing beyond the current line;
/// memory does not grow with the source.
///
/// Example: with the default options (chapter mode, keywords "第  章", one chapter a piece)
/// a source "/books/novel.txt" becomes "/books/novel/novel_001.txt", "novel_002.txt", …
class SplitRun final {
 public:
  SplitRun(SplitOptions options, SplitHost& host);

  /// Runs the split to its end and reports it through the host; see SplitOutcome.
  SplitOutcome Execute();

 private:
  SplitOptions m_options;
  SplitHost& m_host;
};

/// The worker's body: runs one split with `options` and `host`. Same as SplitRun::Execute.
SplitOutcome SplitThreadProc(const SplitOptions& options, SplitHost& host);

}  // namespace sekato::engine
