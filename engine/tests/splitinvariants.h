#pragma once

#include <string>

namespace sekato::engine::test {

/// What must hold for every split made without clean-up, head, tail or promotional line:
/// the pieces joined in sequence order are the source with every CR and LF removed, and no
/// piece starts inside a two-byte character of its line. `piecesDir` holds the pieces of one
/// run whose name part is `namePart` (sequence or title names). Returns what is wrong, or
/// nothing.
std::string CheckSplitInvariants(const std::string& source, const std::string& piecesDir,
                                 const std::string& namePart);

}  // namespace sekato::engine::test
