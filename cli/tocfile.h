#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sekato/chapterlist.h"

namespace sekato::cli {

/// Reads the chapter list --toc splits by, in either of two forms:
///  - the JSON `--list --json` writes (one object, or an array holding one): the source's
///    `sourceBytes` and `hash`, and `headings`, each with its `line` and, optionally, its
///    `title`; every other field is informational and left alone;
///  - plain text, one chapter a line: `LINE`, `LINE<TAB>TITLE`, or `LINE:TEXT` as `grep -n`
///    prints it (the text is the line's own and names nothing). Blank lines and lines
///    starting with `#` are skipped.
/// Example: "12\n340\t尾声\n" cuts before lines 12 and 340 and titles the second "尾声".
class TocFile final {
 public:
  /// The list in `text`; nothing, with `error` saying why and where, when it is neither form
  /// (JSON: the parser's own message with its line and column).
  static std::optional<engine::ChapterList> Parse(std::string_view text, std::string& error);
  /// The same for the file at `path`.
  static std::optional<engine::ChapterList> Read(const std::string& path, std::string& error);
};

}  // namespace sekato::cli
