#include "replacerule.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace sekato::engine {

std::unique_ptr<ReplaceRule> ReplaceRule::Compile(std::string_view pattern, std::string replacement,
                                                  RegexPattern::Error& error) {
  auto compiled = RegexPattern::Compile(pattern, error);
  if (!compiled) return nullptr;
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
