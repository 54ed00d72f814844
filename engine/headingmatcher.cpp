#include "headingmatcher.h"

#include <limits>

#include "textcodec.h"
#include "numerals.h"

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

HeadingMatcher::HeadingMatcher(std::vector<std::string> keywords, int series,
                               std::int64_t titleLimit, const TextRules& rules)
    : m_keywords(std::move(keywords)),
      m_expanded(m_keywords),
      m_series(series),
      m_maxBytes(titleLimit > std::numeric_limits<std::int64_t>::max() / 2
                     ? std::numeric_limits<std::int64_t>::max()
                     : 2 * titleLimit),
      m_bWildcard(HasWildcard(m_keywords)),
      m_pRules(&rules),
      m_bSizeIsMeasure(rules.TextEncoding() == Encoding::Gbk ||
                       rules.TextEncoding() == Encoding::Big5) {}

void HeadingMatcher::Expand(std::int64_t number) {
  std::string numeral = Numerals::Text(number, m_series);
  const Encoding encoding = m_pRules->TextEncoding();
  if (encoding != Encoding::Gbk && encoding != Encoding::Gb18030) {
    auto converted = TextCodec::Convert(numeral, Encoding::Gbk, encoding);
    m_bUnwritable = !converted;
    if (converted) numeral = std::move(*converted);
  }
  for (std::size_t i = 0; i < m_keywords.size(); ++i) {
    const std::string& keyword = m_keywords[i];
    std::string& expanded = m_expanded[i];
    expanded.clear();
    for (const char c : keyword) {
      if (c == '?') {
        expanded += numeral;
      } else {
        expanded += c;
      }
    }
  }
  m_expandedFor = number;
}

bool HeadingMatcher::IsHeading(std::string_view line, std::int64_t headingCounter) {
  if (static_cast<std::int64_t>(line.size()) > m_maxBytes &&
      (m_bSizeIsMeasure || !m_pRules->FitsTitle(line, m_maxBytes))) {
    return false;
  }
  if (m_keywords.empty()) return false;
  if (m_bWildcard && m_expandedFor != headingCounter + 1) Expand(headingCounter + 1);
  if (m_bUnwritable) return false;
  std::size_t from = 0;
  for (const auto& keyword : m_expanded) {
    const std::size_t match = m_pRules->Find(line, keyword, from);
    if (match == TextRules::npos) return false;
    from = match + keyword.size();
  }
  return true;
}

}  // namespace sekato::engine
