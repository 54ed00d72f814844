#pragma once

#include <optional>
#include <vector>

#include "sekato/message.h"
#include "sekato/texttransform.h"

namespace sekato::engine {

/// Whether replacement rules can be used, for a front end to say as the user edits them,
/// before any run: the refusal a run would give for the first rule that cannot be
/// compiled (its place, its pattern and PCRE2's text), or nothing.
/// Example: {"本章(完=>"} read from "rules.txt" line 3 is refused as
/// "替换规则“rules.txt”第 3 行“本章(完”有错（第 5 个字符之后）：missing closing parenthesis".
class ReplaceRuleCheck final {
 public:
  static std::optional<Message> Refusal(const std::vector<ReplaceRuleText>& rules);
};

}  // namespace sekato::engine
