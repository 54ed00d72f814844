#pragma once

#include <string>

#include "scanresult.h"

namespace sekato::cli {

/// The inspection of one source as `--list` prints it: a table of the headings with the
/// report under it, or the same as one JSON object for scripts.
class ListPrinter final {
 public:
  /// The table (piece, number, line, size, title; rows with a numbering issue marked) and
  /// the report's lines, UTF-8:
  ///   文件    编号      行号      大小  标题
  ///      1       1         3      12 KB  第一回 宴桃园豪杰三结义
  static std::string Table(const engine::ScanResult& r);

  /// One JSON object: {"source": …, "status": "done", "headingCount": 120, "headings": [{"index":
  /// 1, "number": 1, "line": 3, "offset": 120, "size": 12000, "piece": 1, "title": "…",
  /// "file": "…", "mark": ""}, …], "numbering": [{"kind": "repeat", …}], "hints": […], …}.
  /// Book text is converted to UTF-8; a number a heading does not carry is null.
  static std::string Json(const engine::ScanResult& r, const std::string& source);

  /// `text` as a JSON string literal, quotes included.
  static std::string Quote(const std::string& text);
};

}  // namespace sekato::cli
