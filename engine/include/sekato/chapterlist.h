#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sekato::engine {

/// One chapter of an edited chapter list: the line it starts on and, when edited, its title.
struct ChapterEntry {
  std::int64_t line = 0;  ///< 1-based line of the source as it lies on disk
  std::string title;      ///< UTF-8; empty: the heading line's own text names the piece
};

/// The chapters a split cuts at instead of where its keywords find headings, and the book
/// the list was made for.
///
/// Lines count as the chapter list counts them: a line ends at a line feed, and clean-up
/// (--trim) never renumbers them. A listed line that is empty, or that clean-up drops,
/// opens its chapter at the next line with text. Example: {{1, ""}, {230, "尾声"}} cuts before
/// lines 1 and 230 and names the second piece "002_尾声.txt" under title names.
struct ChapterList {
  std::vector<ChapterEntry> entries;
  std::int64_t sourceBytes = -1;  ///< the book's size when the list was made; -1 unknown
  std::string hash;               ///< its XXH3 hash (16 hex digits); empty unknown
  /// The replacement rules ("PATTERN=>REPLACEMENT") and the conversion ("s2t", or empty) the
  /// list was made with: its lines are the book's either way, its titles the transformed text.
  std::vector<std::string> replace;
  std::string convert;
};

}  // namespace sekato::engine
