#include "regexmatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace sekato::engine {

namespace {

// Enough for any sane heading rule on a line of a few hundred characters, and small enough
// that a pattern that backtracks without end gives up within milliseconds.
constexpr std::uint32_t kMatchLimit = 1000000;
constexpr std::uint32_t kDepthLimit = 10000;
constexpr std::uint32_t kHeapLimitKiB = 4096;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMost = 512 * 1024;

}  // namespace

RegexMatcher::RegexMatcher(std::shared_ptr<const RegexPattern> pattern)
    : m_pattern(std::move(pattern)) {
  const auto* code = static_cast<const pcre2_code*>(m_pattern->Code());
  m_matchData = pcre2_match_data_create_from_pattern(code, nullptr);
  auto* context = pcre2_match_context_create(nullptr);
  pcre2_set_match_limit(context, kMatchLimit);
  pcre2_set_depth_limit(context, kDepthLimit);
  pcre2_set_heap_limit(context, kHeapLimitKiB);
  if (m_pattern->Jitted()) {
    pcre2_jit_stack* stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMost, nullptr);
    if (stack != nullptr) pcre2_jit_stack_assign(context, nullptr, stack);
    m_jitStack = stack;
  }
  m_context = context;
}

RegexMatcher::RegexMatcher(RegexMatcher&& other) noexcept
    : m_pattern(std::move(other.m_pattern)),
      m_matchData(other.m_matchData),
      m_context(other.m_context),
      m_jitStack(other.m_jitStack) {
  other.m_matchData = nullptr;
  other.m_context = nullptr;
  other.m_jitStack = nullptr;
}

RegexMatcher::~RegexMatcher() {
  pcre2_match_data_free(static_cast<pcre2_match_data*>(m_matchData));
  pcre2_match_context_free(static_cast<pcre2_match_context*>(m_context));
  pcre2_jit_stack_free(static_cast<pcre2_jit_stack*>(m_jitStack));
}

RegexMatcher::Result RegexMatcher::Find(std::string_view subject, std::size_t from) {
  if (from > subject.size()) return Result::NoMatch;
  const int rc = pcre2_match(static_cast<const pcre2_code*>(m_pattern->Code()),
                             reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from, 0,
                             static_cast<pcre2_match_data*>(m_matchData),
                             static_cast<pcre2_match_context*>(m_context));
  if (rc >= 0) return Result::Match;
  switch (rc) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
    case PCRE2_ERROR_NOMEMORY:
      return Result::LimitHit;
    default:
      return Result::NoMatch;
  }
}

bool RegexMatcher::Group(int group, std::size_t& start, std::size_t& length) const {
  auto* data = static_cast<pcre2_match_data*>(m_matchData);
  if (group < 0 || static_cast<std::uint32_t>(group) >= pcre2_get_ovector_count(data)) {
    return false;
  }
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  const auto index = static_cast<std::size_t>(group) * 2;
  if (ovector[index] == PCRE2_UNSET || ovector[index + 1] < ovector[index]) return false;
  start = ovector[index];
  length = ovector[index + 1] - ovector[index];
  return true;
}

}  // namespace sekato::engine
