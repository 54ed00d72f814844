#pragma once

#include <optional>
#include <string>

#include "sekato/message.h"

namespace sekato::engine {

/// Whether a heading rule (see SplitOptions::regex) can be used, for a front end to say as
/// the user types it, before any run: the refusal a run would give, or nothing.
/// Refusal("第(") names PCRE2's "missing closing parenthesis" after character 2.
class HeadingRuleCheck final {
 public:
  static std::optional<Message> Refusal(const std::string& pattern,
                                        const std::string& exclude = {});
};

}  // namespace sekato::engine
