#pragma once

#include <string>

#include "sekato/encoding.h"

namespace sekato::engine::test {

/// What must hold for every split made without clean-up, head, tail or promotional line and
/// without conversion: the pieces joined in sequence order are the source with every line
/// break removed (and its byte-order mark, which starts every piece instead), and no piece
/// starts inside a character of its line. `encoding` is the source's as the run read it
/// (GBK unless said); in UTF-16 a line break is a code unit and a character is a unit or a
/// pair of surrogates. `piecesDir` holds the pieces of one run whose name part is
/// `namePart` (sequence or title names). Returns what is wrong, or nothing.
std::string CheckSplitInvariants(const std::string& source, const std::string& piecesDir,
                                 const std::string& namePart, Encoding encoding = Encoding::Gbk);

}  // namespace sekato::engine::test
