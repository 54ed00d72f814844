#include "sekato/headingrulecheck.h"

#include "headingrule.h"

namespace sekato::engine {

std::optional<Message> HeadingRuleCheck::Refusal(const std::string& pattern,
                                                 const std::string& exclude) {
  Message refusal;
  if (HeadingRule::Compile(pattern, exclude, refusal)) return std::nullopt;
  return refusal;
}

}  // namespace sekato::engine
