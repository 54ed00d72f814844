#pragma once

#include <cstdio>
#include <string>

#include "sekato/scanresult.h"
#include "sekato/splitoptions.h"

namespace sekato::cli {

/// The inspection of one source as `--list` prints it: a table of the headings with the
/// report under it, or the same as one JSON object for scripts. Both are written to `out` as
/// they are made, a heading at a time, so a long list never stands whole in memory.
class ListPrinter final {
 public:
  /// The "version" of the JSON: raised when a field changes its meaning or goes away, not
  /// when one is added.
  static constexpr int kJsonVersion = 2;

  /// What the JSON says of how the list was made, for --toc to split by it: the source's
  /// hash (empty: left out) and the options (UTF-8 keywords) that found the headings.
  struct Origin {
    std::string hash;
    engine::SplitOptions options;
  };

  /// The table (piece, number, line, size, title; rows with a numbering issue marked) and
  /// the report's lines, UTF-8:
  ///   文件    编号      行号      大小  标题
  ///      1       1         3      12 KB  第一回 宴桃园豪杰三结义
  static void Table(const engine::ScanResult& r, std::FILE* out);

  /// One JSON object, without a line break after it: {"version": 2, "source": …, "status":
  /// "done", "headingCount": 120, "headings": [{"index": 1, "number": 1, "line": 3, "offset":
  /// 120, "size": 12000, "piece": 1, "title": "…", "file": "…", "mark": ""}, …], "numbering":
  /// [{"kind": "repeat", …}], "hints": […], …}. Book text is converted to UTF-8; a number a
  /// heading does not carry is null. A source that was not inspected to its end has only
  /// "version", "source", "status" and "error".
  static void Json(const engine::ScanResult& r, const std::string& source, std::FILE* out,
                   const Origin& origin = {});

  /// What automatic detection found, as a JSON object ("null" when it did not run):
  /// {"found": true, "text": "自动识别：…", "chapters": {"description": "第N回（中文数字）",
  /// "pattern": "…", "lines": 120}, "volumes": null, "restarts": false, "volumeLines": [],
  /// "contents": null, "longestTitle": 24, "options": "--regex '…' --title-max 24",
  /// "alternatives": [{"description": "N、", "pattern": "…", "lines": 41}]}.
  static std::string Detection(const engine::ScanResult& r);

  /// `text` as a JSON string literal, quotes included, always valid: a byte that is not part
  /// of a UTF-8 character (a file name in another encoding) becomes U+FFFD.
  /// The bytes a 0xFF b give "a�b" (the character itself, not escaped); a quote and a
  /// line feed give \" and \u000a.
  static std::string Quote(const std::string& text);

  /// What each replacement rule replaced: "规则 3 “本章未完…”：替换 1,204 处", a line each.
  static void RuleCounts(const engine::ScanResult& r, const engine::SplitOptions& o,
                         std::FILE* out);
  /// 1204 as "1,204".
  static std::string Grouped(std::int64_t number);
};

}  // namespace sekato::cli
