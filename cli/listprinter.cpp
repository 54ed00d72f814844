#include "listprinter.h"

#include <cstdio>

#include "scanreport.h"

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

}  // namespace

std::string ListPrinter::Quote(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
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
  }
  return out + "\"";
}

std::string ListPrinter::Table(const ScanResult& r) {
  std::string out;
  // A row is some 40 bytes of numbers and the title: the text is built once, not regrown.
  out.reserve(r.headings.size() * 96 + 1024);
  if (!r.headings.empty()) {
    // Chinese column names are two columns wide on a terminal: padded by hand.
    out += "文件    编号      行号      大小  标题\n";
    const auto marks = ScanReport::MarksByLine(r);
    for (const auto& h : r.headings) {
      Column(out, Int(h.piece), 4);
      Column(out, h.number < 0 ? "-" : Int(h.number), 6);
      Column(out, Int(h.line), 8);
      Column(out, ScanReport::Size(h.size), 8);
      out += ScanReport::Utf8(h.title, r.textEncoding);
      const auto mark = marks.find(h.line);
      if (mark != marks.end()) out += "  [" + mark->second + "]";
      out += '\n';
    }
    if (r.headingCount > static_cast<std::int64_t>(r.headings.size())) {
      out += "（只列出前 " + Int(static_cast<std::int64_t>(r.headings.size())) + " 个）\n";
    }
    out += '\n';
  }
  for (const auto& line : ScanReport::Lines(r)) out += line + '\n';
  return out;
}

std::string ListPrinter::Json(const ScanResult& r, const std::string& source) {
  std::string out =
      "{\"source\": " + Quote(source) + ", \"status\": " + Quote(StatusName(r.status));
  if (r.status != ScanResult::Status::Done) return out + ", \"error\": " + Quote(r.error) + "}";
  out += ", \"encoding\": " + Quote(std::string(engine::Encodings::Name(r.sourceEncoding))) +
         ", \"sourceBytes\": " + Int(r.sourceBytes) + ", \"lines\": " + Int(r.lines) +
         ", \"titleMax\": " + Int(r.titleMax) + ", \"headingCount\": " + Int(r.headingCount) +
         ", \"prefaceBytes\": " + Int(r.prefaceBytes) + ", \"pieces\": " + Int(r.pieces) +
         ", \"largestPiece\": " + Int(r.largestPiece) +
         ", \"smallestPiece\": " + Int(r.smallestPiece) + ",\n \"headings\": [";
  out.reserve(out.size() + r.headings.size() * 256 + 4096);
  const auto marks = ScanReport::MarksByLine(r);
  for (std::size_t i = 0; i < r.headings.size(); ++i) {
    const auto& h = r.headings[i];
    const auto mark = marks.find(h.line);
    out += std::string(i > 0 ? ",\n  " : "\n  ") + "{\"index\": " + Int(h.index) +
           ", \"number\": " + (h.number < 0 ? std::string("null") : Int(h.number)) +
           ", \"line\": " + Int(h.line) + ", \"offset\": " + Int(h.offset) +
           ", \"size\": " + Int(h.size) + ", \"piece\": " + Int(h.piece) +
           ", \"title\": " + Quote(ScanReport::Utf8(h.title, r.textEncoding)) +
           ", \"file\": " + Quote(h.file) +
           ", \"mark\": " + Quote(mark == marks.end() ? std::string() : mark->second) + "}";
  }
  out += "],\n \"numbering\": [";
  for (std::size_t i = 0; i < r.numbering.size(); ++i) {
    const auto& issue = r.numbering[i];
    out += std::string(i > 0 ? ", " : "") + "{\"kind\": " + Quote(KindName(issue.kind)) +
           ", \"number\": " + Int(issue.number) + ", \"last\": " + Int(issue.last) +
           ", \"lines\": " + IntList(issue.lines) +
           ", \"text\": " + Quote(ScanReport::Issue(issue)) + "}";
  }
  out += "],\n \"nearMissCount\": " + Int(r.nearMissCount) +
         ", \"suggestedTitleMax\": " + Int(r.suggestedTitleMax) + ", \"nearMisses\": [";
  for (std::size_t i = 0; i < r.nearMisses.size(); ++i) {
    const auto& miss = r.nearMisses[i];
    out += std::string(i > 0 ? ", " : "") + "{\"line\": " + Int(miss.line) +
           ", \"chars\": " + Int(miss.chars) +
           ", \"text\": " + Quote(ScanReport::Utf8(miss.text, r.textEncoding)) + "}";
  }
  out += "],\n \"forms\": [";
  for (std::size_t i = 0; i < r.forms.size(); ++i) {
    const auto& form = r.forms[i];
    out += std::string(i > 0 ? ", " : "") + "{\"label\": " + Quote(form.label) +
           ", \"lines\": " + Int(form.lines) +
           ", \"keywords\": " + Quote(ScanReport::Utf8(form.keywords)) +
           ", \"titleMax\": " + Int(form.titleMax) + "}";
  }
  out += "],\n \"hints\": [";
  const auto hints = ScanReport::Hints(r);
  for (std::size_t i = 0; i < hints.size(); ++i) {
    const auto& hint = hints[i];
    out += std::string(i > 0 ? ", " : "") + "{\"text\": " + Quote(hint.text) +
           ", \"keywords\": " + Quote(ScanReport::Utf8(hint.keywords)) +
           ", \"titleMax\": " + Int(hint.titleMax) + "}";
  }
  out += "],\n \"report\": [";
  const auto lines = ScanReport::Lines(r);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += std::string(i > 0 ? ", " : "") + Quote(lines[i]);
  }
  return out + "]}";
}

}  // namespace sekato::cli
