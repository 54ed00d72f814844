#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "headingsurvey.h"
#include "piecewriter.h"
#include "progressfloor.h"
#include "runencodings.h"
#include "sekato/chapterlist.h"
#include "sekato/splitrun.h"
#include "sourcefingerprint.h"
#include "splitplan.h"

namespace sekato::engine {

// What a run works with: the plan shared with the chapter list, and what only a split needs.
struct SplitRun::Plan {
  Plan(const SplitOptions& options, SplitHost& runHost) : split(options), host(runHost) {}
  SplitPlan split;
  /// The run's host, as the passes that write the pieces see it.
  ProgressFloor host;
  PieceLayout layout;
  std::optional<RunEncodings> encodings;
  /// The lines cut at, when a list is given or chapters are chosen: the options' own list
  /// (not copied: it may hold a hundred thousand titles), or `made` from the rule's headings.
  const ChapterList* list = nullptr;
  std::optional<ChapterList> made;
  /// What the check of the list found for a split by byte ranges, and the book's size.
  std::optional<SourceFingerprint::Layout> lines;
  std::int64_t bookBytes = 0;
  /// The list is checked while the pieces are written (see SplitHeld), not before.
  bool checkHeld = false;
  /// The levels of the run's folder this run made, deepest first: a list refused after they
  /// were made takes them away again, as if the check had come first.
  std::vector<std::string> madeFolders;
};

// What detection kept of the book for the split by the rule it found.
struct SplitRun::Detected {
  HeadingSurvey::Result survey;
};

}  // namespace sekato::engine
