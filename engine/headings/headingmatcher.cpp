#include "headingmatcher.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "gbktext.h"
#include "numeralreader.h"
#include "tabletranscoder.h"
#include "textcodec.h"
#include "textconverter.h"

namespace sekato::engine {

std::vector<std::string> HeadingMatcher::CutKeywords(std::string_view normalised) {
  std::vector<std::string> keywords;
  std::size_t pos = 0;
  while (pos < normalised.size()) {
    while (pos < normalised.size() && normalised[pos] == ' ') ++pos;
    const std::size_t start = pos;
    while (pos < normalised.size() && normalised[pos] != ' ') ++pos;
    if (pos > start) keywords.emplace_back(normalised.substr(start, pos - start));
  }
  return keywords;
}

bool HeadingMatcher::HasWildcard(const std::vector<std::string>& keywords) {
  for (const auto& keyword : keywords) {
    if (keyword.find('?') != std::string::npos) return true;
  }
  return false;
}

HeadingMatcher::HeadingMatcher(std::vector<std::string> keywords, Numerals::Series series,
                               std::int64_t titleLimit, const TextRules& rules)
    : m_keywords(std::move(keywords)),
      m_series(series),
      m_maxBytes(titleLimit > std::numeric_limits<std::int64_t>::max() / 2
                     ? std::numeric_limits<std::int64_t>::max()
                     : 2 * titleLimit),
      m_bWildcard(HasWildcard(m_keywords)),
      m_pRules(&rules),
      m_bSizeIsMeasure(rules.TextEncoding() == Encoding::Gbk ||
                       rules.TextEncoding() == Encoding::Big5),
      m_bConverts(rules.TextEncoding() != Encoding::Gbk &&
                  rules.TextEncoding() != Encoding::Gb18030) {
  if (rules.TextEncoding() == Encoding::Utf8) {
    // A whole UTF-8 character matches only where a character begins, and the conversion
    // goes character for character: a line without these bytes holds no heading.
    for (const std::string& keyword : m_keywords) {
      std::string longest;
      std::size_t start = 0;
      for (std::size_t mark = 0; mark <= keyword.size(); ++mark) {
        if (mark < keyword.size() && keyword[mark] != '?') continue;
        if (mark - start > longest.size()) longest = keyword.substr(start, mark - start);
        start = mark + 1;
      }
      if (!longest.empty()) m_needles.push_back(std::move(longest));
    }
    for (const std::string& needle : m_needles) {
      if (needle.size() > m_strNeeded.size()) m_strNeeded = needle;
    }
  } else if (!m_bConverts) {
    for (const std::string& keyword : m_keywords) {
      for (std::size_t start = 0; start <= keyword.size();) {
        const std::size_t mark = std::min(keyword.find('?', start), keyword.size());
        if (mark - start > m_strNeeded.size()) m_strNeeded = keyword.substr(start, mark - start);
        start = mark + 1;
      }
    }
  }
  if (m_bConverts) {
    for (std::string& keyword : m_keywords) {
      auto converted = TextCodec::Convert(keyword, rules.TextEncoding(), Encoding::Gb18030);
      if (converted) keyword = std::move(*converted);
      m_bUnconvertible = m_bUnconvertible || !converted;
    }
  }
  for (const auto& keyword : m_keywords) {
    Parts parts(1);
    for (const char c : keyword) {
      if (c == '?') {
        parts.emplace_back();
      } else {
        parts.back() += c;
      }
    }
    m_parts.push_back(std::move(parts));
  }
}

HeadingMatcher::HeadingMatcher(HeadingRule rule)
    : m_series(Numerals::Series::None),
      m_maxBytes(0),
      m_bWildcard(false),
      m_pRules(&TextRules::For(Encoding::Utf8)),
      m_bSizeIsMeasure(false),
      m_rule(std::make_unique<HeadingRule>(std::move(rule))) {}

bool HeadingMatcher::MatchAt(std::string_view line, const Parts& parts, std::size_t pos,
                             std::int64_t number, std::size_t& end) const {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {  // a "?": a whole run of numerals that reads as the expected number
      const std::size_t runEnd = NumeralReader::RunEnd(line, pos, m_series);
      if (runEnd == pos ||
          !NumeralReader::Reads(line.substr(pos, runEnd - pos), m_series, number)) {
        return false;
      }
      pos = runEnd;
    }
    if (line.substr(pos, parts[i].size()) != parts[i]) return false;
    pos += parts[i].size();
  }
  end = pos;
  return true;
}

std::size_t HeadingMatcher::FindWildcard(std::string_view line, const Parts& parts,
                                         std::size_t from, std::int64_t number,
                                         std::size_t& end) const {
  if (!parts.front().empty()) {
    for (std::size_t at = GbkText::Find(line, parts.front(), from); at != GbkText::npos;
         at = GbkText::Find(line, parts.front(), at + 1)) {
      if (MatchAt(line, parts, at, number, end)) return at;
    }
    return GbkText::npos;
  }
  // The keyword starts with "?": try every character boundary from `from` that does not
  // continue a run of numerals.
  bool afterNumeral = false;
  for (std::size_t pos = 0; pos < line.size();) {
    const std::size_t next =
        pos +
        (GbkText::IsLead(static_cast<unsigned char>(line[pos])) && pos + 1 < line.size() ? 2 : 1);
    const bool numeral = NumeralReader::StartsRun(line, pos, m_series);
    if (pos >= from && numeral && !afterNumeral && MatchAt(line, parts, pos, number, end)) {
      return pos;
    }
    afterNumeral = numeral;
    pos = next;
  }
  return GbkText::npos;
}

std::int64_t HeadingMatcher::ReadNumber(std::string_view line,
                                        const std::vector<std::size_t>& ends) {
  std::size_t end = 0;
  std::int64_t value = NumeralReader::kUnreadable;
  for (const std::size_t at : ends) {
    if (NumeralReader::ReadAny(line, at, end, value)) return value;
  }
  for (std::size_t pos = 0; pos < line.size();) {
    if (NumeralReader::ReadAny(line, pos, end, value)) return value;
    pos += GbkText::IsLead(static_cast<unsigned char>(line[pos])) && pos + 1 < line.size() ? 2 : 1;
  }
  return NumeralReader::kUnreadable;
}

bool HeadingMatcher::ToMatchText(std::string_view line, Encoding text, std::string& out) {
  out.clear();
  if (const TableTranscoder* table =
          text == Encoding::Utf8 ? TableTranscoder::FromUtf8(Encoding::Gb18030) : nullptr) {
    // Most of a line goes through the table; only what it leaves needs iconv.
    out.resize(line.size() * 2);
    const char* in = line.data();
    std::size_t inLeft = line.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    table->Convert(in, inLeft, to, toLeft);
    out.resize(out.size() - toLeft);
    line.remove_prefix(line.size() - inLeft);
  }
  if (line.empty()) return true;
  if (text == Encoding::Gb18030) {
    out.append(line);
    return true;
  }
  // Lines come one after another in one encoding: the thread keeps its converter open.
  thread_local std::unique_ptr<TextConverter> converter;
  if (!converter || converter->From() != text) {
    converter = std::make_unique<TextConverter>(text, Encoding::Gb18030);
  }
  return converter->ConvertPrefix(line, out) == line.size();
}

bool HeadingMatcher::Take(const HeadingRule::Look& look) {
  if (!m_rule->Take(look)) return false;
  m_nLastNumber = m_rule->LastNumber();
  m_nLastStart = 0;
  return true;
}

bool HeadingMatcher::IsHeading(std::string_view line, std::int64_t headingCounter) {
  if (m_rule) {
    if (!m_rule->IsHeading(line)) return false;
    m_nLastNumber = m_rule->LastNumber();
    m_nLastStart = 0;
    return true;
  }
  const auto size = static_cast<std::int64_t>(line.size());
  // No character measures less than half its bytes.
  if (size > m_maxBytes && (m_bSizeIsMeasure || size / 2 > m_maxBytes)) return false;
  if (m_keywords.empty() || m_bUnconvertible) return false;
  for (const std::string& needle : m_needles) {
    if (line.find(needle) == std::string_view::npos) return false;
  }
  if (size > m_maxBytes && !m_pRules->FitsTitle(line, m_maxBytes)) return false;
  if (m_bConverts) {
    if (!ToMatchText(line, m_pRules->TextEncoding(), m_strLine)) return false;  // not text
    line = m_strLine;
  }
  const std::int64_t expected = headingCounter + 1;
  m_ends.clear();
  std::size_t from = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < m_keywords.size(); ++i) {
    std::size_t match = 0;
    if (m_parts[i].size() == 1) {
      match = GbkText::Find(line, m_keywords[i], from);
      if (match == GbkText::npos) return false;
      from = match + m_keywords[i].size();
    } else {
      match = FindWildcard(line, m_parts[i], from, expected, from);
      if (match == GbkText::npos) return false;
    }
    if (i == 0) start = match;
    m_ends.push_back(from);
  }
  m_nLastStart = start;
  m_nLastNumber = m_bWildcard ? expected : ReadNumber(line, m_ends);
  return true;
}

}  // namespace sekato::engine
