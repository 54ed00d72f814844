#pragma once

#include <cstdint>
#include <string_view>

namespace sekato::engine {

/// Reads a number the way the form always has (atoi rules): leading white space, an optional
/// sign, then decimal digits up to the first other character. No leading digits gives 0.
/// "1000" → 1000, "  -7x" → -7, "1.5" → 1, "abc" → 0. Saturates instead of overflowing.
std::int64_t ParseNumber(std::string_view text);

}  // namespace sekato::engine
