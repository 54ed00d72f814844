#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sekato/scanresult.h"

namespace sekato::engine {

/// A change of options the inspection suggests: keywords and/or a title limit.
struct ScanHint {
  std::string text;           ///< UTF-8, for the user
  std::string keywords;       ///< GBK keyword text to use; empty: keep the keywords
  std::int64_t titleMax = 0;  ///< title limit to use; 0: keep the limit
};

/// The inspection in words (UTF-8), the same for the command line and the window.
class ScanReport final {
 public:
  /// "1.2 MB", "345 KB", "12 B".
  static std::string Size(std::int64_t bytes);

  /// "找到 121 个章节标题，将写出 121 个文件（最大 25 KB，最小 8 KB）".
  static std::string Summary(const ScanResult& r);

  /// "缺少编号 36（第 6106 行与第 6236 行之间）", "编号 35 出现 2 次：第 5976、6106 行",
  /// "编号 6 顺序不对：第 14 行，在编号 7 之后".
  static std::string Issue(const NumberingIssue& issue);

  /// Options that would find the headings the keywords miss: the title limit that takes the
  /// near misses, and when nothing was found, the heading forms that occur.
  static std::vector<ScanHint> Hints(const ScanResult& r);

  /// What a heading's row in a list is marked with, by line number: "重复" on every line of a
  /// repeated number, "缺 36" (or "缺 36–40") on the heading after a gap, "顺序不对" on a
  /// number lower than one before it. Lines without an issue have no entry.
  static std::map<std::int64_t, std::string> MarksByLine(const ScanResult& r);

  /// Book text (GBK, or the result's textEncoding) → UTF-8 for showing it; bytes that are no
  /// character of the encoding become U+FFFD.
  static std::string Utf8(std::string_view text, Encoding encoding = Encoding::Gbk);

  /// What automatic detection found, in a line: "自动识别：第N章（中文数字），共 312 章，
  /// 6 卷；其次：N、（41 行）", or "自动识别：没有找到成串编号的标题". Empty when it did not run.
  static std::string Detection(const ScanResult& r);
  /// The command-line options that split by what detection found, quoted for a POSIX shell:
  /// "--regex '^…' --title-max 24". Empty when nothing was found.
  static std::string DetectionOptions(const ScanResult& r);
  /// The summary, every numbering issue and every hint, one a line.
  static std::vector<std::string> Lines(const ScanResult& r);
};

}  // namespace sekato::engine
