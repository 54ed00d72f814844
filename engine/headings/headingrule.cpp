#include "headingrule.h"

#include <limits>

#include "numeralreader.h"
#include "textcodec.h"
#include "textconverter.h"

namespace sekato::engine {

namespace {

// Characters of the UTF-8 `text` before byte `offset`: where PCRE2 stopped, as a person
// counts it.
std::size_t CharsBefore(std::string_view text, std::size_t offset) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++chars;
  }
  return chars;
}

// The start of the UTF-8 `line`, at most `most` characters: enough to find it by.
std::string Excerpt(std::string_view line, std::size_t most) {
  std::size_t chars = 0;
  std::size_t end = 0;
  while (end < line.size()) {
    if ((static_cast<unsigned char>(line[end]) & 0xC0) != 0x80 && chars++ == most) break;
    ++end;
  }
  return std::string(line.substr(0, end)) + (end < line.size() ? "…" : "");
}

std::optional<std::shared_ptr<const RegexPattern>> CompileOne(const std::string& pattern,
                                                              MessageId bad, Message& refusal) {
  RegexPattern::Error error;
  auto compiled = RegexPattern::Compile(pattern, error);
  if (!compiled) {
    refusal = {bad, {pattern, std::to_string(CharsBefore(pattern, error.offset)), error.text}};
    return std::nullopt;
  }
  if (compiled->MatchesEmpty()) {
    refusal = {MessageId::PatternMatchesEmpty, {pattern}};
    return std::nullopt;
  }
  return compiled;
}

}  // namespace

std::optional<HeadingRule::Patterns> HeadingRule::Compile(const std::string& pattern,
                                                          const std::string& exclude,
                                                          Message& refusal) {
  Patterns patterns;
  auto heading = CompileOne(pattern, MessageId::BadPattern, refusal);
  if (!heading) return std::nullopt;
  patterns.heading = std::move(*heading);
  if (!exclude.empty()) {
    auto excluded = CompileOne(exclude, MessageId::BadExcludePattern, refusal);
    if (!excluded) return std::nullopt;
    patterns.exclude = std::move(*excluded);
  }
  return patterns;
}

HeadingRule::HeadingRule(const Patterns& patterns, std::int64_t titleLimit, const TextRules& rules)
    : m_heading(patterns.heading),
      m_nGroup(patterns.heading->GroupNumber("n")),
      m_maxBytes(titleLimit > std::numeric_limits<std::int64_t>::max() / 2
                     ? std::numeric_limits<std::int64_t>::max()
                     : 2 * titleLimit),
      m_pRules(&rules),
      m_bSizeIsMeasure(rules.TextEncoding() == Encoding::Gbk ||
                       rules.TextEncoding() == Encoding::Big5) {
  if (patterns.exclude) m_exclude.emplace(patterns.exclude);
  const Encoding text = rules.TextEncoding();
  if (text == Encoding::Utf8 || text == Encoding::Gbk || text == Encoding::Gb18030) {
    const std::string required = patterns.heading->RequiredText();
    if (!required.empty()) {
      m_strNeeded = TextCodec::Convert(required, Encoding::Utf8, text).value_or(std::string());
    }
  }
  if (rules.TextEncoding() != Encoding::Utf8) {
    m_converter = std::make_unique<TextConverter>(rules.TextEncoding(), Encoding::Utf8);
  }
}

HeadingRule::~HeadingRule() = default;
HeadingRule::HeadingRule(HeadingRule&&) noexcept = default;

std::int64_t HeadingRule::LongestHeading() const {
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  if (m_bSizeIsMeasure) return m_maxBytes;
  return m_maxBytes > (kMost - 1) / 2 ? kMost : 2 * m_maxBytes + 1;
}

bool HeadingRule::ToUtf8(std::string_view line, std::string_view& utf8) {
  if (!m_converter) {
    utf8 = line;
    return true;
  }
  m_strUtf8.clear();
  if (m_converter->ConvertPrefix(line, m_strUtf8) != line.size()) return false;
  utf8 = m_strUtf8;
  return true;
}

RegexMatcher::Result HeadingRule::Find(RegexMatcher& matcher, std::string_view utf8, Look& look) {
  const RegexMatcher::Result result = matcher.Find(utf8);
  if (result == RegexMatcher::Result::LimitHit && look.costly.empty()) {
    look.costly = Excerpt(utf8, 40);
  }
  return result;
}

std::int64_t HeadingRule::ReadGroup(std::string_view utf8, std::int64_t expected) {
  std::int64_t value = NumeralReader::kUnreadable;
  std::int64_t spoken = NumeralReader::kUnreadable;
  ReadGroupBoth(utf8, value, spoken);
  return value == expected || spoken == expected ? expected : value;
}

void HeadingRule::ReadGroupBoth(std::string_view utf8, std::int64_t& value, std::int64_t& spoken) {
  value = NumeralReader::kUnreadable;
  spoken = NumeralReader::kUnreadable;
  // Numerals are read in GBK's bytes: the group, a few characters, is converted on its own,
  // by a converter each thread keeps (every heading's number passes here).
  thread_local TextConverter toGb(Encoding::Utf8, Encoding::Gb18030);
  thread_local std::string converted;
  converted.clear();
  if (toGb.ConvertPrefix(utf8, converted) != utf8.size()) return;
  const std::string& text = converted;
  if (text.empty()) return;
  for (const auto series :
       {Numerals::Series::Ascii, Numerals::Series::FullWidth, Numerals::Series::Chinese}) {
    if (NumeralReader::RunEnd(text, 0, series) != text.size()) continue;
    value = NumeralReader::Value(text, series);
    spoken = NumeralReader::SpokenValue(text, series);
    return;
  }
}

void HeadingRule::LookAtNumber(std::string_view utf8, Look& look) {
  std::size_t start = 0;
  std::size_t length = 0;
  if (m_nGroup >= 0 && m_heading.Group(m_nGroup, start, length)) {
    look.grouped = true;
    ReadGroupBoth(utf8.substr(start, length), look.value, look.spoken);
    return;
  }
  look.value = NumeralReader::kUnreadable;  // a heading without a number: 楔子
  if (m_nGroup < 0 && m_heading.Group(0, start, length)) {
    // Without a group the number is only reported: the first one the match holds.
    const auto text =
        TextCodec::Convert(utf8.substr(start, length), Encoding::Utf8, Encoding::Gb18030);
    std::size_t end = 0;
    std::int64_t value = NumeralReader::kUnreadable;
    for (std::size_t pos = 0; text && pos < text->size();) {
      if (NumeralReader::ReadAny(*text, pos, end, value)) break;
      pos += static_cast<unsigned char>((*text)[pos]) >= 0x80 && pos + 1 < text->size() ? 2 : 1;
    }
    look.value = value;
  }
}

void HeadingRule::LookAt(std::string_view line, Look& look) {
  look.match = false;
  look.grouped = false;
  look.value = NumeralReader::kUnreadable;
  look.spoken = NumeralReader::kUnreadable;
  look.costly.clear();
  const auto size = static_cast<std::int64_t>(line.size());
  // No character measures less than half its bytes.
  if (size > m_maxBytes && (m_bSizeIsMeasure || size / 2 > m_maxBytes)) return;
  if (size > m_maxBytes && !m_pRules->FitsTitle(line, m_maxBytes)) return;
  std::string_view utf8;
  if (!ToUtf8(line, utf8)) return;
  if (Find(m_heading, utf8, look) != RegexMatcher::Result::Match) return;
  if (m_exclude && Find(*m_exclude, utf8, look) != RegexMatcher::Result::NoMatch) return;
  look.match = true;
  LookAtNumber(utf8, look);
}

bool HeadingRule::Take(const Look& look) {
  if (!look.costly.empty() && m_strCostly.empty()) m_strCostly = look.costly;
  if (!look.match) return false;
  if (!look.grouped) {
    m_nLastNumber = look.value;
    return true;
  }
  const std::int64_t expected = m_nChain + 1;
  const std::int64_t number =
      look.value == expected || look.spoken == expected ? expected : look.value;
  // After a volume heading the numbers may start again, or run on.
  const bool restart = m_bVolume && number >= 0 && number <= 1;
  if (!restart && (number < expected || number > m_nChain + kReach)) return false;
  m_bVolume = false;
  m_nChain = number;
  m_nLastNumber = number;
  return true;
}

}  // namespace sekato::engine
