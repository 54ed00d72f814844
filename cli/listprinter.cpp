#include "listprinter.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "sekato/orderedbatches.h"
#include "sekato/scanreport.h"
#include "sekato/textrules.h"
#include "sekato/texttransform.h"
#include "sekato/workerpool.h"

namespace sekato::cli {

using engine::NumberingIssue;
using engine::ScanReport;
using engine::ScanResult;

namespace {

std::string Int(std::int64_t n) { return std::to_string(n); }

std::string StatusName(ScanResult::Status status) {
  switch (status) {
    case ScanResult::Status::Done:
      return "done";
    case ScanResult::Status::Stopped:
      return "stopped";
    case ScanResult::Status::Refused:
      return "refused";
    case ScanResult::Status::Failed:
      break;
  }
  return "failed";
}

std::string KindName(NumberingIssue::Kind kind) {
  switch (kind) {
    case NumberingIssue::Kind::Gap:
      return "gap";
    case NumberingIssue::Kind::Repeat:
      return "repeat";
    case NumberingIssue::Kind::OutOfOrder:
      break;
  }
  return "outOfOrder";
}

std::string IntList(const std::vector<std::int64_t>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i > 0 ? ", " : "") + Int(values[i]);
  return out + "]";
}

// `text` right-aligned in `width` columns and two spaces after it, as a table row has them.
void Column(std::string& out, const std::string& text, std::size_t width) {
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += text;
  out += "  ";
}

std::string Numerals(engine::Numerals::Series series) {
  switch (series) {
    case engine::Numerals::Series::Ascii:
      return "ascii";
    case engine::Numerals::Series::FullWidth:
      return "fullwidth";
    case engine::Numerals::Series::Chinese:
      return "chinese";
    case engine::Numerals::Series::None:
      break;
  }
  return "";
}

// The options that found the headings, as the command line names them.
std::string Rule(const engine::SplitOptions& o) {
  return "{\"keywords\": " + ListPrinter::Quote(ScanReport::Utf8(o.keywords, o.textEncoding)) +
         ", \"numerals\": " + ListPrinter::Quote(Numerals(o.numerals)) +
         ", \"titleMax\": " + Int(o.titleMax) + ", \"per\": " + Int(o.chaptersPerPiece) +
         ", \"trim\": " + (o.trimSpaces ? "true" : "false") +
         ", \"regex\": " + ListPrinter::Quote(o.regex) +
         ", \"exclude\": " + ListPrinter::Quote(o.exclude) + "}";
}

// The rules and the conversion the list was made with, for --toc to use again, and what
// each rule replaced: `, "convert": "s2t", "replace": ["…"], "replaced": [12]`.
std::string Transforms(const engine::SplitOptions& o, const ScanResult& r) {
  std::string text = ", \"convert\": " +
                     ListPrinter::Quote(std::string(engine::ScriptConversions::Name(o.convert))) +
                     ", \"replace\": [";
  for (std::size_t i = 0; i < o.replaceRules.size(); ++i) {
    text += (i > 0 ? ", " : "") + ListPrinter::Quote(o.replaceRules[i].Text());
  }
  text += "], \"replaced\": [";
  for (std::size_t i = 0; i < r.ruleCounts.size(); ++i) {
    text += (i > 0 ? ", " : "") + Int(r.ruleCounts[i]);
  }
  return text + "]";
}

// Cuts what was appended to `text` since `start` at its first NUL, as writing it with fputs
// would.
void CutAtNul(std::string& text, std::size_t start) {
  const std::size_t nul = text.find('\0', start);
  if (nul != std::string::npos) text.resize(nul);
}

// Writes `count` rows, each as `row` appends it to a text; a NUL ends a row, as it ends a
// string fputs writes. A long list is formatted a batch of rows at a time on both processors
// and written in order: its twenty thousand rows take longer to format than to find.
void WriteRows(std::size_t count, const std::function<void(std::size_t, std::string&)>& row,
               std::FILE* out) {
  constexpr std::size_t kRows = 1024;
  const std::size_t batches = (count + kRows - 1) / kRows;
  const unsigned threads = count >= 4 * kRows ? std::min(engine::WorkerPool::Processors(), 2U) : 1;
  std::vector<std::string> texts(engine::OrderedBatches::kSlots);
  engine::OrderedBatches::Run(
      batches, threads,
      [&](std::size_t batch, std::size_t slot, unsigned /*thread*/) {
        std::string& text = texts[slot];
        text.clear();
        for (std::size_t i = batch * kRows; i < std::min(count, (batch + 1) * kRows); ++i) {
          const std::size_t start = text.size();
          row(i, text);
          CutAtNul(text, start);
        }
      },
      [&](std::size_t /*batch*/, std::size_t slot) {
        std::fwrite(texts[slot].data(), 1, texts[slot].size(), out);
        return true;
      });
}

}  // namespace

std::string ListPrinter::Grouped(std::int64_t number) {
  const std::string digits = std::to_string(number);
  const std::size_t sign = number < 0 ? 1 : 0;
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const std::size_t left = digits.size() - i;
    if (i > sign && left % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

void ListPrinter::RuleCounts(const ScanResult& r, const engine::SplitOptions& o, std::FILE* out) {
  // The pattern as the user wrote it, cut short: enough to tell the rules apart.
  constexpr std::size_t kShown = 8;
  const engine::TextRules& utf8 = engine::TextRules::For(engine::Encoding::Utf8);
  for (std::size_t i = 0; i < o.replaceRules.size() && i < r.ruleCounts.size(); ++i) {
    const std::string& pattern = o.replaceRules[i].pattern;
    std::size_t end = 0;
    std::size_t chars = 0;
    while (end < pattern.size() && chars < kShown) {
      end += std::max<std::size_t>(utf8.CharLength(pattern, end), 1);
      ++chars;
    }
    const std::string shown = end < pattern.size() ? pattern.substr(0, end) + "…" : pattern;
    std::fprintf(out, "规则 %zu “%s”：替换 %s 处\n", i + 1, shown.c_str(),
                 Grouped(r.ruleCounts[i]).c_str());
  }
}

std::string ListPrinter::Quote(const std::string& text) {
  std::string out = "\"";
  const engine::TextRules& utf8 = engine::TextRules::For(engine::Encoding::Utf8);
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      // A file name is whatever bytes the file system holds: one that is not UTF-8 becomes
      // U+FFFD, as a title's stray byte does, so the text stays valid JSON.
      const std::size_t width = utf8.CharLength(text, pos);
      if (width > 1) {
        out.append(text, pos, width);
      } else {
        out += "\xEF\xBF\xBD";
      }
      pos += width;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
    ++pos;
  }
  return out + "\"";
}

std::string ListPrinter::Detection(const ScanResult& r) {
  if (!r.detected) return "null";
  const engine::HeadingDetection& d = r.detection;
  const auto form = [](const engine::HeadingDetection::Form& f) {
    return "{\"description\": " + Quote(f.description) + ", \"pattern\": " + Quote(f.pattern) +
           ", \"lines\": " + Int(f.lines) + "}";
  };
  std::string text = "{\"found\": " + std::string(d.found ? "true" : "false") +
                     ", \"text\": " + Quote(ScanReport::Detection(r));
  if (d.found) {
    text += ", \"chapters\": " + form(d.chapters) + ", \"volumes\": " +
            (d.volumes.pattern.empty() ? std::string("null") : form(d.volumes)) +
            ", \"restarts\": " + (d.restarts ? "true" : "false") +
            ", \"volumeLines\": " + IntList(d.volumeLines) + ", \"contents\": " +
            (d.contentsLast > 0 ? IntList({d.contentsFirst, d.contentsLast}) : "null") +
            ", \"longestTitle\": " + Int(d.longestTitle) +
            ", \"options\": " + Quote(ScanReport::DetectionOptions(r));
  }
  text += ", \"alternatives\": [";
  for (std::size_t i = 0; i < d.alternatives.size(); ++i) {
    text += (i > 0 ? ", " : "") + form(d.alternatives[i]);
  }
  return text + "]}";
}

void ListPrinter::Table(const ScanResult& r, std::FILE* out) {
  // A rule is said first: a list made by it is read against it.
  if (r.detected) {
    std::fprintf(out, "%s\n", ScanReport::Detection(r).c_str());
    const std::string options = ScanReport::DetectionOptions(r);
    if (!options.empty()) std::fprintf(out, "同样分割的选项：%s\n", options.c_str());
  } else if (!r.regex.empty()) {
    std::fprintf(out, "标题规则：正则表达式 %s\n", r.regex.c_str());
    if (!r.exclude.empty()) std::fprintf(out, "排除：%s\n", r.exclude.c_str());
  }
  if (!r.headings.empty()) {
    // Chinese column names are two columns wide on a terminal: padded by hand.
    std::fputs("文件    编号      行号      大小  标题\n", out);
    const auto marks = ScanReport::MarksByLine(r);
    // With volume folders, each folder is named above its first piece.
    const auto folderOf = [&](std::size_t i) {
      const std::string& file = r.headings[i].file;
      const std::size_t slash = file.rfind('/');
      return std::string_view(file).substr(0, slash == std::string::npos ? 0 : slash + 1);
    };
    WriteRows(
        r.headings.size(),
        [&](std::size_t i, std::string& row) {
          const auto& h = r.headings[i];
          const std::string_view folder = folderOf(i);
          if (folder != (i > 0 ? folderOf(i - 1) : std::string_view())) {
            const std::size_t start = row.size();
            row += folder;
            CutAtNul(row, start);
            row += '\n';
          }
          const std::size_t start = row.size();
          Column(row, Int(h.piece), 4);
          Column(row, h.number < 0 ? "-" : Int(h.number), 6);
          Column(row, Int(h.line), 8);
          Column(row, ScanReport::Size(h.size), 8);
          row += ScanReport::Utf8(h.title, r.textEncoding);
          const auto mark = marks.find(h.line);
          if (mark != marks.end()) row += "  [" + mark->second + "]";
          row += '\n';
          CutAtNul(row, start);
        },
        out);
    if (r.headingCount > static_cast<std::int64_t>(r.headings.size())) {
      std::fprintf(out, "（只列出前 %zu 个）\n", r.headings.size());
    }
    std::fputc('\n', out);
  }
  for (const auto& line : ScanReport::Lines(r)) std::fprintf(out, "%s\n", line.c_str());
}

namespace {

// The JSON's figures of a list inspected to its end, from its encoding to the opening of its
// headings.
std::string JsonFigures(const ScanResult& r, const ListPrinter::Origin& origin) {
  return ", \"encoding\": " +
         ListPrinter::Quote(std::string(engine::Encodings::Name(r.sourceEncoding))) +
         ", \"sourceBytes\": " + Int(r.sourceBytes) + ", \"lines\": " + Int(r.lines) +
         ", \"hash\": " + ListPrinter::Quote(origin.hash) + ", \"rule\": " + Rule(origin.options) +
         Transforms(origin.options, r) + ", \"titleMax\": " + Int(r.titleMax) +
         ", \"regex\": " + ListPrinter::Quote(r.regex) +
         ", \"exclude\": " + ListPrinter::Quote(r.exclude) +
         ", \"headingCount\": " + Int(r.headingCount) +
         ", \"prefaceBytes\": " + Int(r.prefaceBytes) + ", \"pieces\": " + Int(r.pieces) +
         ", \"largestPiece\": " + Int(r.largestPiece) +
         ", \"smallestPiece\": " + Int(r.smallestPiece) + ",\n \"headings\": [";
}

// The headings, written a heading at a time.
void JsonHeadings(const ScanResult& r, std::FILE* out) {
  const auto marks = ScanReport::MarksByLine(r);
  WriteRows(
      r.headings.size(),
      [&](std::size_t i, std::string& text) {
        const auto& h = r.headings[i];
        const auto mark = marks.find(h.line);
        text += std::string(i > 0 ? ",\n  " : "\n  ") + "{\"index\": " + Int(h.index) +
                ", \"number\": " + (h.number < 0 ? std::string("null") : Int(h.number)) +
                ", \"line\": " + Int(h.line) + ", \"offset\": " + Int(h.offset) +
                ", \"size\": " + Int(h.size) + ", \"piece\": " + Int(h.piece) +
                ", \"title\": " + ListPrinter::Quote(ScanReport::Utf8(h.title, r.textEncoding)) +
                ", \"file\": " + ListPrinter::Quote(h.file) + ", \"mark\": " +
                ListPrinter::Quote(mark == marks.end() ? std::string() : mark->second) + "}";
      },
      out);
}

// The numbering issues, written an issue at a time.
void JsonNumbering(const ScanResult& r, std::FILE* out) {
  for (std::size_t i = 0; i < r.numbering.size(); ++i) {
    const auto& issue = r.numbering[i];
    const std::string text =
        std::string(i > 0 ? ", " : "") + "{\"kind\": " + ListPrinter::Quote(KindName(issue.kind)) +
        ", \"number\": " + Int(issue.number) + ", \"last\": " + Int(issue.last) +
        ", \"lines\": " + IntList(issue.lines) +
        ", \"text\": " + ListPrinter::Quote(ScanReport::Issue(issue)) + "}";
    std::fputs(text.c_str(), out);
  }
}

// The near misses, the forms and the hints, each a list of objects without its brackets.
std::string JsonNearMisses(const ScanResult& r) {
  std::string text;
  for (std::size_t i = 0; i < r.nearMisses.size(); ++i) {
    const auto& miss = r.nearMisses[i];
    text += std::string(i > 0 ? ", " : "") + "{\"line\": " + Int(miss.line) +
            ", \"chars\": " + Int(miss.chars) +
            ", \"text\": " + ListPrinter::Quote(ScanReport::Utf8(miss.text, r.textEncoding)) + "}";
  }
  return text;
}

std::string JsonForms(const ScanResult& r) {
  std::string text;
  for (std::size_t i = 0; i < r.forms.size(); ++i) {
    const auto& form = r.forms[i];
    text += std::string(i > 0 ? ", " : "") + "{\"label\": " + ListPrinter::Quote(form.label) +
            ", \"lines\": " + Int(form.lines) +
            ", \"keywords\": " + ListPrinter::Quote(ScanReport::Utf8(form.keywords)) +
            ", \"titleMax\": " + Int(form.titleMax) + "}";
  }
  return text;
}

std::string JsonHints(const ScanResult& r) {
  std::string text;
  const auto hints = ScanReport::Hints(r);
  for (std::size_t i = 0; i < hints.size(); ++i) {
    const auto& hint = hints[i];
    text += std::string(i > 0 ? ", " : "") + "{\"text\": " + ListPrinter::Quote(hint.text) +
            ", \"keywords\": " + ListPrinter::Quote(ScanReport::Utf8(hint.keywords)) +
            ", \"titleMax\": " + Int(hint.titleMax) + "}";
  }
  return text;
}

}  // namespace

void ListPrinter::Json(const ScanResult& r, const std::string& source, std::FILE* out,
                       const Origin& origin) {
  // Written as it goes, a heading at a time: a book of twenty thousand chapters costs no more
  // memory than one of twenty.
  std::string text = "{\"version\": " + Int(kJsonVersion) + ", \"source\": " + Quote(source) +
                     ", \"status\": " + Quote(StatusName(r.status));
  if (r.status != ScanResult::Status::Done) {
    text += ", \"error\": " + Quote(r.error.Text()) + "}";
    std::fputs(text.c_str(), out);
    return;
  }
  text += JsonFigures(r, origin);
  std::fputs(text.c_str(), out);
  JsonHeadings(r, out);
  std::fputs("],\n \"numbering\": [", out);
  JsonNumbering(r, out);
  text = "],\n \"nearMissCount\": " + Int(r.nearMissCount) +
         ", \"suggestedTitleMax\": " + Int(r.suggestedTitleMax) + ", \"nearMisses\": [" +
         JsonNearMisses(r) + "],\n \"forms\": [" + JsonForms(r) +
         "],\n \"detection\": " + Detection(r) + ",\n \"hints\": [" + JsonHints(r) +
         "],\n \"report\": [";
  std::fputs(text.c_str(), out);
  const auto lines = ScanReport::Lines(r);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::fprintf(out, "%s%s", i > 0 ? ", " : "", Quote(lines[i]).c_str());
  }
  std::fputs("]}", out);
}

}  // namespace sekato::cli
