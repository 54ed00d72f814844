#include "sekato/scanreport.h"

#include <cstdio>

#include "sekato/gbkcodec.h"
#include "sekato/textrules.h"
#include "tabletranscoder.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

std::string Number(std::int64_t n) { return std::to_string(n); }

}  // namespace

std::string ScanReport::Utf8(std::string_view text, Encoding encoding) {
  // A list converts thousands of titles: through the table, each costs a few lookups
  // rather than a pass through iconv.
  if (const TableTranscoder* table = TableTranscoder::ToUtf8(encoding)) {
    std::string out(text.size() / 2 * 3 + 4, '\0');  // a two-byte character takes three
    const char* in = text.data();
    std::size_t inLeft = text.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    table->Convert(in, inLeft, to, toLeft);
    if (inLeft == 0) {
      out.resize(out.size() - toLeft);
      return out;
    }
  }
  if (encoding == Encoding::Gbk) {
    if (auto whole = GbkCodec::ToUtf8(text)) return *whole;
  } else if (auto whole = TextCodec::Convert(text, encoding, Encoding::Utf8)) {
    return *whole;
  }
  // Character by character, so one bad byte costs one character and not the whole text.
  const TextRules& rules = TextRules::For(encoding);
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t width = rules.CharLength(text, pos);
    const auto one = encoding == Encoding::Gbk
                         ? GbkCodec::ToUtf8(text.substr(pos, width))
                         : TextCodec::Convert(text.substr(pos, width), encoding, Encoding::Utf8);
    if (one) {
      out += *one;
      pos += width;
    } else {
      out += "\xEF\xBF\xBD";  // U+FFFD
      pos += 1;
    }
  }
  return out;
}

std::map<std::int64_t, std::string> ScanReport::MarksByLine(const ScanResult& r) {
  std::map<std::int64_t, std::string> marks;
  const auto add = [&](std::int64_t line, const std::string& text) {
    std::string& mark = marks[line];
    if (mark.find(text) != std::string::npos) return;
    if (!mark.empty()) mark += "，";
    mark += text;
  };
  for (const auto& issue : r.numbering) {
    switch (issue.kind) {
      case NumberingIssue::Kind::Gap:
        add(issue.lines.at(1), "缺 " + Number(issue.number) +
                                   (issue.last > issue.number ? "–" + Number(issue.last) : ""));
        break;
      case NumberingIssue::Kind::Repeat:
        for (const std::int64_t line : issue.lines) add(line, "重复");
        break;
      case NumberingIssue::Kind::OutOfOrder:
        add(issue.lines.at(0), "顺序不对");
        break;
    }
  }
  return marks;
}

std::string ScanReport::Size(std::int64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  if (bytes < 1024 * 1024) return std::to_string((bytes + 512) / 1024) + " KB";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

std::string ScanReport::Summary(const ScanResult& r) {
  std::string text = r.headingCount == 0 ? std::string("没有找到章节标题")
                                         : "找到 " + Number(r.headingCount) + " 个章节标题";
  text += "，将写出 " + Number(r.pieces) + " 个文件";
  if (r.pieces > 1) {
    text += "（最大 " + Size(r.largestPiece) + "，最小 " + Size(r.smallestPiece) + "）";
  } else {
    text += "（" + Size(r.largestPiece) + "）";
  }
  return text;
}

std::string ScanReport::Issue(const NumberingIssue& issue) {
  switch (issue.kind) {
    case NumberingIssue::Kind::Gap: {
      std::string numbers = Number(issue.number);
      if (issue.last > issue.number) numbers += "–" + Number(issue.last);
      return "缺少编号 " + numbers + "（第 " + Number(issue.lines.at(0)) + " 行与第 " +
             Number(issue.lines.at(1)) + " 行之间）";
    }
    case NumberingIssue::Kind::Repeat: {
      std::string text = "编号 " + Number(issue.number) + " 出现 " +
                         Number(static_cast<std::int64_t>(issue.lines.size())) + " 次：第 ";
      for (std::size_t i = 0; i < issue.lines.size(); ++i) {
        if (i > 0) text += "、";
        text += Number(issue.lines[i]);
      }
      return text + " 行";
    }
    case NumberingIssue::Kind::OutOfOrder:
      break;
  }
  return "编号 " + Number(issue.number) + " 顺序不对：第 " + Number(issue.lines.at(0)) +
         " 行，在编号 " + Number(issue.last) + " 之后";
}

std::vector<ScanHint> ScanReport::Hints(const ScanResult& r) {
  std::vector<ScanHint> hints;
  if (r.nearMissCount > 0) {
    ScanHint hint;
    hint.titleMax = r.suggestedTitleMax;
    hint.text = "有 " + Number(r.nearMissCount) + " 行含有关键字但长于标题长度 " +
                Number(r.titleMax) + " 个字";
    if (!r.nearMisses.empty()) {
      hint.text += "（如第 " + Number(r.nearMisses[0].line) + " 行“" +
                   Utf8(r.nearMisses[0].text, r.textEncoding) + "”）";
    }
    hint.text += "；标题长度设为 " + Number(r.suggestedTitleMax) + " 可以找到它们";
    hints.push_back(std::move(hint));
  }
  for (const auto& form : r.forms) {
    ScanHint hint;
    hint.keywords = form.keywords;
    hint.titleMax = form.titleMax == r.titleMax ? 0 : form.titleMax;
    hint.text = "书中有 " + Number(form.lines) + " 行形如“" + form.label + "”：关键字设为“" +
                Utf8(form.keywords) + "”";
    if (hint.titleMax != 0) hint.text += "、标题长度设为 " + Number(form.titleMax);
    hint.text += " 可以找到它们";
    hints.push_back(std::move(hint));
  }
  return hints;
}

std::string ScanReport::Detection(const ScanResult& r) {
  if (!r.detected) return {};
  const HeadingDetection& d = r.detection;
  std::string line = "自动识别：";
  if (d.found) {
    line +=
        d.chapters.description + "，共 " + std::to_string(d.chapters.lines) + " " + d.chapters.unit;
    if (!d.volumeLines.empty()) {
      line += "，" + std::to_string(d.volumeLines.size()) + " " + d.volumes.unit;
      if (d.restarts) line += "（每" + d.volumes.unit + "重新编号）";
    }
    if (d.contentsLast > 0) {
      line += "，第 " + std::to_string(d.contentsFirst) + "–" + std::to_string(d.contentsLast) +
              " 行是目录";
    }
  } else {
    line += "没有找到成串编号的标题";
  }
  for (std::size_t i = 0; i < d.alternatives.size() && i < 3; ++i) {
    line += (i == 0 ? "；其次：" : "、") + d.alternatives[i].description + "（" +
            std::to_string(d.alternatives[i].lines) + " 行）";
  }
  return line;
}

std::string ScanReport::DetectionOptions(const ScanResult& r) {
  if (!r.detected || !r.detection.found) return {};
  const auto quote = [](const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  };
  std::string options = "--regex " + quote(r.detection.chapters.pattern);
  if (!r.detection.volumes.pattern.empty()) {
    options += " --volume-regex " + quote(r.detection.volumes.pattern);
  }
  if (r.detection.contentsLast > 0) {
    options += " --headings-from " + std::to_string(r.detection.contentsLast + 1);
  }
  if (r.detection.firstNumber > 1) {
    options += " --first-number " + std::to_string(r.detection.firstNumber);
  }
  return options + " --title-max " + std::to_string(r.titleMax);
}

std::vector<std::string> ScanReport::Lines(const ScanResult& r) {
  std::vector<std::string> lines;
  if (r.detected) lines.push_back(Detection(r));
  lines.push_back(Summary(r));
  for (const auto& issue : r.numbering) lines.push_back(Issue(issue));
  for (const auto& hint : Hints(r)) lines.push_back(hint.text);
  return lines;
}

}  // namespace sekato::engine
