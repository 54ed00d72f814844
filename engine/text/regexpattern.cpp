#include "regexpattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace sekato::engine {

namespace {

const pcre2_code* AsCode(const void* code) { return static_cast<const pcre2_code*>(code); }

}  // namespace

std::shared_ptr<const RegexPattern> RegexPattern::Compile(std::string_view pattern, Error& error) {
  // UTF, so that a Chinese character is one character to classes and quantifiers; without
  // UCP, so \s and \d stay ASCII; invalid UTF-8 in a line simply never matches.
  constexpr std::uint32_t kOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
  int code = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                       kOptions, &code, &offset, nullptr);
  if (compiled == nullptr) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    error.text = length > 0 ? std::string(reinterpret_cast<const char*>(buffer),
                                          static_cast<std::size_t>(length))
                            : "error " + std::to_string(code);
    error.offset = offset;
    return nullptr;
  }
  std::shared_ptr<RegexPattern> result(new RegexPattern);
  result->m_source = std::string(pattern);
  result->m_code = compiled;
  // Without JIT (a machine or build that lacks it) the interpreter matches the same.
  result->m_bJitted = pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE) == 0;
  return result;
}

RegexPattern::~RegexPattern() { pcre2_code_free(static_cast<pcre2_code*>(m_code)); }

int RegexPattern::GroupNumber(const char* name) const {
  const int number =
      pcre2_substring_number_from_name(AsCode(m_code), reinterpret_cast<PCRE2_SPTR>(name));
  return number > 0 ? number : -1;
}

std::size_t RegexPattern::MinLength() const {
  std::uint32_t length = 0;
  pcre2_pattern_info(AsCode(m_code), PCRE2_INFO_MINLENGTH, &length);
  return length;
}

bool RegexPattern::MatchesEmpty() const {
  // The shortest text a match takes is 0 exactly when some stretch of no text matches:
  // "^", "(?=第)" and "(第\\d+章)?" all do.
  return MinLength() == 0;
}

}  // namespace sekato::engine
