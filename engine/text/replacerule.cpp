#include "replacerule.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace sekato::engine {

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The first group `replacement` names that `pattern` lacks ("3", "name"); empty when every
// one is there. PCRE2 says so only once a line matches: the rule is refused before.
std::string MissingGroup(const RegexPattern& pattern, std::string_view replacement) {
  std::uint32_t groups = 0;
  pcre2_pattern_info(static_cast<const pcre2_code*>(pattern.Code()), PCRE2_INFO_CAPTURECOUNT,
                     &groups);
  for (std::size_t at = 0; at + 1 < replacement.size(); ++at) {
    if (replacement[at] == '\\') {
      ++at;
      continue;
    }
    if (replacement[at] != '$') continue;
    std::size_t start = at + 1;
    if (replacement[start] == '$') {
      at = start;
      continue;
    }
    if (replacement[start] == '{') ++start;
    std::size_t end = start;
    while (end < replacement.size() && IsNameChar(replacement[end])) ++end;
    const std::string name(replacement.substr(start, end - start));
    at = end - 1;
    if (name.empty()) continue;
    if (name.find_first_not_of("0123456789") == std::string::npos) {
      if (name.size() > 5 || std::stoul(name) > groups) return name;
    } else if (pattern.GroupNumber(name.c_str()) < 0) {
      return name;
    }
  }
  return {};
}

}  // namespace

std::unique_ptr<ReplaceRule> ReplaceRule::Compile(std::string_view pattern, std::string replacement,
                                                  RegexPattern::Error& error) {
  auto compiled = RegexPattern::Compile(pattern, error);
  if (!compiled) return nullptr;
  const std::string missing = MissingGroup(*compiled, replacement);
  if (!missing.empty()) {
    error.text = "the replacement names group " + missing + ", which the pattern does not have";
    error.offset = pattern.size();
    return nullptr;
  }
  std::unique_ptr<ReplaceRule> rule(new ReplaceRule);
  rule->m_literal = compiled->RequiredText();
  rule->m_pattern = std::move(compiled);
  rule->m_replacement = std::move(replacement);
  rule->m_matchData = pcre2_match_data_create_from_pattern(
      static_cast<const pcre2_code*>(rule->m_pattern->Code()), nullptr);
  return rule;
}

ReplaceRule::~ReplaceRule() { pcre2_match_data_free(static_cast<pcre2_match_data*>(m_matchData)); }

std::int64_t ReplaceRule::Apply(std::string_view line, std::string& out, std::string& error) const {
  // Extended: ${name} and \ escapes in the replacement. Overflow length: a result larger
  // than the buffer tells the size it needs, and the call is made once more with it.
  constexpr std::uint32_t kOptions =
      PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_EXTENDED | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH;
  const auto* code = static_cast<const pcre2_code*>(m_pattern->Code());
  auto* data = static_cast<pcre2_match_data*>(m_matchData);
  std::string result(line.size() + m_replacement.size() + 64, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    PCRE2_SIZE size = result.size();
    const int count = pcre2_substitute(
        code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0, kOptions, data, nullptr,
        reinterpret_cast<PCRE2_SPTR>(m_replacement.data()), m_replacement.size(),
        reinterpret_cast<PCRE2_UCHAR*>(result.data()), &size);
    if (count == PCRE2_ERROR_NOMEMORY && attempt == 0) {
      result.resize(size);
      continue;
    }
    if (count < 0) {
      PCRE2_UCHAR buffer[256];
      const int length = pcre2_get_error_message(count, buffer, sizeof buffer);
      error = length > 0 ? std::string(reinterpret_cast<const char*>(buffer),
                                       static_cast<std::size_t>(length))
                         : "error " + std::to_string(count);
      return -1;
    }
    if (count == 0) return 0;
    result.resize(size);
    out = std::move(result);
    return count;
  }
  return 0;
}

}  // namespace sekato::engine
