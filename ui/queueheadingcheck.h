#pragma once

#include <cstddef>
#include <vector>

#include "sekato/splitoptions.h"

namespace sekato::ui {

/// The check before a queue of books is split by chapter: which books the form's rule (or
/// detection, when the form lets it choose) finds no heading in, so that the user hears of
/// them all at once instead of finding one-piece books afterwards.
class QueueHeadingCheck final {
 public:
  /// The indices, ascending, of those `runs` that are chapter splits by a rule or by
  /// detection and find no heading. Each book is read once; `jobs` books at a time (0: as
  /// many as there are processors). A book that cannot be read is not listed: its split
  /// says why.
  /// Example: runs for {a.txt with 第1章…, notes.txt without} by "第 章" → {1}.
  static std::vector<std::size_t> BooksWithoutHeadings(
      const std::vector<engine::SplitOptions>& runs, unsigned jobs = 0);
};

}  // namespace sekato::ui
