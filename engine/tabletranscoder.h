#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoding.h"

namespace sekato::engine {

/// UTF-8 into GBK or GB18030 through a table of every character below U+10000, built
/// once from iconv's own answers: the same bytes iconv writes, several times faster, so that a
/// UTF-8 book written out as GBK streams at nearly the speed of a copy.
///
/// It converts only what it is sure of — ASCII and characters the table holds — and stops
/// at anything else (a character outside the table or beyond U+FFFF, a byte that begins no
/// valid character, a character cut off by the end of the input, no room for the next
/// one), leaving that to iconv. "第1章" into GBK gives B5 DA 31 D5 C2.
class TableTranscoder final {
 public:
  /// The transcoder from UTF-8 into `to`, or null when there is none for it.
  static const TableTranscoder* FromUtf8(Encoding to);

  /// Converts from `in` into `out` while it can; both move past what was done.
  void Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const;

 private:
  explicit TableTranscoder(Encoding to);

  /// By code point: 0 (not in the table), a two-byte code (lead in the high byte) or a
  /// four-byte code (bytes in order, first in the highest byte, which is then never 0).
  std::vector<std::uint32_t> m_codes;
};

}  // namespace sekato::engine
