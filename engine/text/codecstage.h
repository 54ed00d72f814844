#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "iconvhandle.h"
#include "sekato/encoding.h"

namespace sekato::engine {

class TableTranscoder;
class TextRules;

/// One direction of a conversion through UTF-8: a source's encoding into UTF-8 (a decoder),
/// or UTF-8 into a piece's encoding (an encoder). Every conversion of a run is one stage, or
/// a decoder and an encoder one after the other.
///
/// The rules every conversion keeps:
///  - GBK is read as GB18030, its superset, by the table of the system's iconv: A2E3 is "€"
///    and the user-defined areas (AAA1–AFFE, F8A1–FEFE, A140–A7A0) are in the Private Use
///    Area. Written as GBK, each of those code points goes back to its two-byte code, so GBK
///    read and written again gives the same bytes; what GB18030 can only write in four bytes
///    cannot be written as GBK.
///  - A byte (in UTF-16 a code unit) that begins no valid character, or a code the source's
///    encoding leaves unassigned, is for the caller to replace (see Replace): with U+FFFD, or
///    "?" where the encoding has no U+FFFD (GBK, Big5). A decoder that keeps surrogates
///    writes a lone UTF-16 surrogate as its own code point in UTF-8's form (ED A0 80 …
///    ED BF BF) instead, so that UTF-16 written from it gives back the same code unit.
///  - An encoder writes U+FFFD as "?" where the encoding cannot hold it.
///
/// GBK and GB18030 go through a table of iconv's answers (TableTranscoder), built once a few
/// kilobytes have been converted in its direction in the process: a run that converts only its
/// keywords asks iconv a character at a time, which gives the same bytes, and never spends
/// the milliseconds the table takes to build.
///
/// Example: the decoder of GBK turns "a\xA2\xE3" into "a€"; at "\xFF" Step stops with
/// Invalid and Replace writes "\xEF\xBF\xBD".
class CodecStage final {
 public:
  /// Whether GBK and GB18030 go through the table: once it is worth building, as above, or
  /// (for tests that hold the two ways to the same bytes) always or never.
  enum class Table : std::uint8_t { WhenWorth, Always, Never };

  /// Where Step stopped.
  enum class End {
    Done,        ///< every byte of the input was converted
    NoRoom,      ///< the output has no room for the next character
    CutOff,      ///< the input ends inside a character: give it with what follows
    Invalid,     ///< `length` bytes at the input begin no character: Replace them
    Unwritable,  ///< the valid character of `length` bytes at the input cannot be written
  };
  struct Result {
    End end = End::Done;
    std::size_t length = 0;
  };

  /// `source` into UTF-8.
  static CodecStage Decoder(Encoding source, bool keepSurrogates = false,
                            Table table = Table::WhenWorth);
  /// UTF-8 into `target`: GBK, GB18030, Big5, or UTF-8 itself (which only checks).
  static CodecStage Encoder(Encoding target, Table table = Table::WhenWorth);

  CodecStage(CodecStage&&) noexcept = default;
  CodecStage& operator=(CodecStage&&) noexcept = default;

  /// Converts from `in` into `out` while it can; both move past what was done. `atEnd`: no
  /// more input follows, so a character cut off by its end is Invalid, not CutOff.
  Result Step(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft, bool atEnd);

  /// Writes what stands for the `length` invalid bytes at `in` (at most 4 bytes); false
  /// when `out` has no room for it.
  bool Replace(const char* in, std::size_t length, char*& out, std::size_t& outLeft) const;

  /// What Replace writes for `length` bytes at `in`, as the message shows it: "U+FFFD", "?",
  /// or nothing when the bytes are kept as they were (a lone surrogate kept).
  const char* ReplacementName(const char* in, std::size_t length) const;

  /// At the end of the text: writes what the converter still holds back. False when `out`
  /// has no room (at most 16 bytes are needed).
  bool Finish(char*& out, std::size_t& outLeft);

  /// False when the system's converter this stage needs cannot be opened.
  bool Usable();

 private:
  CodecStage(Encoding other, bool toUtf8, bool keepSurrogates, Table table);
  enum class One { Done, NoRoom, Refused };

  /// Takes up the table once it is worth building, `bytes` being the text at hand.
  void ResolveTable(std::size_t bytes);
  /// The fast way as far as it goes: a table, UTF-16 by hand, a copy, or iconv over a span;
  /// for GBK and GB18030 without their table, ASCII alone.
  void Fast(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);
  /// Bytes of the valid character at `in`: 0 for none, kCut for one cut off by the end.
  std::size_t CharAt(const char* in, std::size_t inLeft) const;
  /// The bytes Step reports as Invalid where no character begins: a byte, or a code unit.
  std::size_t InvalidLength(std::size_t inLeft) const;
  /// Converts the one valid character of `length` bytes at `in` through iconv.
  One ConvertOne(const char*& in, std::size_t& inLeft, std::size_t length, char*& out,
                 std::size_t& outLeft);
  bool FlushHeld(char*& out, std::size_t& outLeft);
  /// The iconv converter, opened at first use; null when there is none to be had.
  const IconvHandle* Converter();
  void Utf16ToUtf8(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const;
  void CopyValidUtf8(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const;
  static void CopyAscii(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);
  void IconvSpan(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);

  static constexpr std::size_t kCut = static_cast<std::size_t>(-1);

  Encoding m_other;  ///< the encoding that is not UTF-8 (UTF-8 itself for a check)
  bool m_bToUtf8;
  bool m_bKeepSurrogates;
  const TextRules* m_pInputRules;
  const TableTranscoder* m_pTable = nullptr;
  Table m_table = Table::WhenWorth;
  bool m_bHasTable = false;    ///< GBK and GB18030, which the table serves
  bool m_bNeedsIconv = false;  ///< iconv converts what the fast way leaves
  bool m_bIconvTried = false;
  IconvHandle m_iconv;
};

}  // namespace sekato::engine
