#pragma once

#include <optional>
#include <string_view>

#include "sekato/chapterlist.h"

namespace sekato::cli {

/// Reads the JSON `--list --json` writes at the speed of a scan: a list of twenty thousand
/// headings is megabytes of JSON, and a general parser's events for every field of every
/// heading cost a split of the book a third of its time again.
///
/// Only what a split needs is kept (`sourceBytes`, `hash`, `convert`, `replace`, and each
/// heading's `line` and `title`); every other value is checked as JSON and passed over.
/// Anything out of the ordinary — an array of listings, an escape in a string it keeps, a
/// heading without a whole-number line, a number it would have to round, a syntax error —
/// gives nothing: the caller then reads the text with the general parser, which says what
/// is wrong and where. So this reader never accepts a text that one refuses, and never
/// reads one differently.
/// Example: {"sourceBytes": 9, "headings": [{"line": 2, "title": "甲"}]} gives one chapter at
/// line 2 titled 甲; the same with "title": "\u7532" gives nothing.
class TocJson final {
 public:
  static std::optional<engine::ChapterList> Quick(std::string_view text);
};

}  // namespace sekato::cli
