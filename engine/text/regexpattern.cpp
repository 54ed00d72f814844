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

std::string RegexPattern::RequiredText() const {
  const std::string& p = m_source;
  // Inline options (case, extended syntax) and quoting change what plain text means.
  for (std::size_t at = p.find("(?"); at != std::string::npos; at = p.find("(?", at + 1)) {
    const char next = at + 2 < p.size() ? p[at + 2] : ':';
    const bool option = (next >= 'a' && next <= 'z') ||
                        (next >= 'A' && next <= 'Z' && next != 'P') || next == '^' || next == '-';
    if (option) return {};
  }
  if (p.find("\\Q") != std::string::npos || p.find("(*") != std::string::npos) return {};
  constexpr std::string_view kMeta = "\\^$.|?*+()[]{}";
  std::string longest;
  std::string run;
  int depth = 0;
  const auto endRun = [&] {
    if (run.size() > longest.size()) longest = run;
    run.clear();
  };
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    if (c == '\\') {  // an escape: a class, an assertion or a quoted character
      endRun();
      i += 2;
      continue;
    }
    if (c == '[') {  // a class: up to its closing bracket, which may stand first
      endRun();
      std::size_t j = i + 1;
      if (j < p.size() && p[j] == '^') ++j;
      if (j < p.size() && p[j] == ']') ++j;
      while (j < p.size() && p[j] != ']') j += p[j] == '\\' ? 2 : 1;
      i = j + 1;
      continue;
    }
    if (c == '{') {  // a count: its digits are no text
      endRun();
      const std::size_t close = p.find('}', i);
      i = close == std::string::npos ? p.size() : close + 1;
      continue;
    }
    if (c == '(' || c == ')') {
      endRun();
      depth += c == '(' ? 1 : -1;
      ++i;
      continue;
    }
    if (depth == 0 && c == '|') return {};  // either side may match alone
    if (depth > 0 || kMeta.find(c) != std::string_view::npos) {
      endRun();
      ++i;
      continue;
    }
    // A plain character, whole: a UTF-8 lead byte and its continuation bytes. One a
    // quantifier may leave out is no part of the run.
    std::size_t end = i + 1;
    while (end < p.size() && (static_cast<unsigned char>(p[end]) & 0xC0) == 0x80) ++end;
    const bool quantified = end < p.size() && (p[end] == '?' || p[end] == '*' || p[end] == '{');
    if (quantified) {
      endRun();
    } else {
      run.append(p, i, end - i);
    }
    i = end;
  }
  if (depth != 0) return {};
  endRun();
  return longest;
}

bool RegexPattern::MatchesEmpty() const {
  // The shortest text a match takes is 0 exactly when some stretch of no text matches:
  // "^", "(?=第)" and "(第\\d+章)?" all do.
  return MinLength() == 0;
}

}  // namespace sekato::engine
