#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sekato/encoding.h"

namespace sekato::engine {

/// Between UTF-8 and GBK or GB18030 through tables of iconv's own answers, built once: the
/// same bytes iconv writes, several times faster, so that a book converted as it is split
/// streams at nearly the speed of a copy.
///
/// It converts only what it is sure of — ASCII and the characters its table holds (every
/// two-byte code; every character below U+10000 with a two-byte code) — and stops at anything
/// else (a four-byte character, a byte that begins no valid character, a character cut off by the
/// end of the input, no room for the next one), leaving that to iconv. "第1章" from UTF-8 into GBK
/// gives B5 DA 31 D5 C2. GBK and GB18030 share their tables: GBK is read and written as
/// GB18030's two-byte codes, so "€" is A2 E3 in both. Not Big5: its converter holds a character
/// back to combine it with the next, which a table that writes around it would put out of order.
class TableTranscoder final {
 public:
  /// The transcoder from UTF-8 into `to`, or from `from` into UTF-8; null when there is none.
  static const TableTranscoder* FromUtf8(Encoding to);
  static const TableTranscoder* ToUtf8(Encoding from);

  /// Converts from `in` into `out` while it can; both move past what was done.
  void Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const;

  /// Bytes of the input character at `p` as its lead byte tells (at most `left`): the step
  /// to hand to iconv where the table stops.
  std::size_t StepLength(const char* p, std::size_t left) const;

 private:
  TableTranscoder(Encoding other, bool toUtf8);
  /// The one table for `kOther` in its direction, built on first use.
  template <Encoding kOther, bool kToUtf8>
  static const TableTranscoder* Shared();
  void ConvertFromUtf8(const unsigned char*& p, const unsigned char* end, unsigned char*& o,
                       unsigned char* outEnd) const;
  void ConvertToUtf8(const unsigned char*& p, const unsigned char* end, unsigned char*& o,
                     unsigned char* outEnd) const;

  bool m_bToUtf8;
  /// From UTF-8, by code point: 0 (not in the table: iconv's), or the two-byte code, lead in
  /// the high byte. Small, so that it stays in the cache.
  std::vector<std::uint16_t> m_codes;
  /// Into UTF-8, by two-byte code ((lead − 0x81) × 192 + trail − 0x40): 0, or the length in
  /// the high byte and up to three bytes below it, first highest.
  std::vector<std::uint32_t> m_chars;
};

}  // namespace sekato::engine
