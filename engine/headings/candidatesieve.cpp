#include "candidatesieve.h"

#include "textcodec.h"

namespace sekato::engine {
namespace {

/// Every character a heading form can start with (UTF-8).
constexpr std::string_view kStarters[] = {
    "第", "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "０", "１", "２",
    "３", "４", "５", "６", "７", "８", "９", "〇", "零", "一", "二", "两", "三", "四",
    "五", "六", "七", "八", "九", "十", "百", "千", "万", "亿", "壹", "贰", "叁", "肆",
    "伍", "陆", "柒", "捌", "玖", "拾", "佰", "仟", "萬", "億", "兩", "貳", "參", "陸",
    "C",  "S",  "P",  "E",  "卷", "【", "〔", "〖", "［", "「", "『", "=",  "*",  "☆",
    "★",  "序", "楔", "引", "前", "终", "終", "尾", "后", "後", "番", "完", "附"};

/// True when `bytes` stand at `pos` of `line`.
bool SameAt(std::string_view line, std::size_t pos, const std::string& bytes) {
  if (line.size() - pos < bytes.size()) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (line[pos + i] != bytes[i]) return false;
  }
  return true;
}

}  // namespace

CandidateSieve::CandidateSieve(Encoding text, std::int64_t maxChars)
    // Four bytes a character covers every encoding; leading white space comes on top.
    : m_maxBytes(static_cast<std::size_t>(maxChars > 0 ? maxChars : 0) * 4 + 64) {
  m_fullWidthSpace = TextCodec::Convert("\u3000", Encoding::Utf8, text).value_or(std::string());
  for (std::string_view starter : kStarters) {
    auto bytes = TextCodec::Convert(starter, Encoding::Utf8, text);
    if (!bytes || bytes->empty()) continue;
    m_starts[static_cast<unsigned char>((*bytes)[0])].push_back(std::move(*bytes));
  }
}

ShortLineScan::Openers CandidateSieve::Openers() const {
  ShortLineScan::Openers openers;
  openers.wideSpace = m_fullWidthSpace;
  for (std::size_t first = 0; first < m_starts.size(); ++first) {
    for (const std::string& start : m_starts[first]) {
      if (start.size() == 1) {
        for (std::size_t second = 0; second < 256; ++second) openers.pairs.set(first << 8 | second);
      } else {
        openers.pairs.set(first << 8 | static_cast<unsigned char>(start[1]));
      }
    }
  }
  return openers;
}

CandidateSieve::Verdict CandidateSieve::Look(std::string_view line) const {
  // Every line of a book comes here: compared byte by byte, without a call.
  const std::size_t space = m_fullWidthSpace.size();
  std::size_t pos = 0;
  while (pos < line.size()) {
    const char ch = line[pos];
    if (ch == ' ' || ch == '\t' || ch == '\r') {
      ++pos;
    } else if (space > 0 && SameAt(line, pos, m_fullWidthSpace)) {
      pos += space;
    } else {
      break;
    }
  }
  if (pos == line.size()) return Verdict::Blank;
  if (line.size() - pos > m_maxBytes) return Verdict::Body;
  for (const std::string& start : m_starts[static_cast<unsigned char>(line[pos])]) {
    if (SameAt(line, pos, start)) return Verdict::Candidate;
  }
  return Verdict::Body;
}

}  // namespace sekato::engine
