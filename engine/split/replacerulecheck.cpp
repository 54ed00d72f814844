#include "sekato/replacerulecheck.h"

#include "linetransform.h"

namespace sekato::engine {

std::optional<Message> ReplaceRuleCheck::Refusal(const std::vector<ReplaceRuleText>& rules) {
  SplitOptions options;
  options.replaceRules = rules;
  return LineTransform::Refusal(options);
}

}  // namespace sekato::engine
