#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sekato/encoding.h"

namespace sekato::engine {

/// Where characters begin and end in the text of a run, and how many bytes it takes on disk.
///
/// A run's text is in one encoding (GBK, GB18030, Big5 or UTF-8); every search, cut, clean-up
/// and measure goes through the rules of that encoding, chosen once per run, so that no
/// character is ever split and a match begins only where a character begins. Each call works
/// on a whole line or text, never a byte at a time.
///
/// When the pieces are UTF-16, the run's text is UTF-8 and the rules measure what it becomes
/// on disk: "第" is 3 bytes of text and 2 bytes written; a line break is 4 bytes written.
class TextRules {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  /// The rules for text in `text` whose pieces are written in `output` (the same encoding,
  /// or UTF-16 for UTF-8 text). GBK text follows exactly the rules of GbkText.
  static const TextRules& For(Encoding text, Encoding output);
  static const TextRules& For(Encoding text) { return For(text, text); }

  virtual ~TextRules() = default;

  virtual Encoding TextEncoding() const = 0;
  virtual Encoding OutputEncoding() const = 0;

  /// Bytes of the character that starts at `text[pos]`: 1 for ASCII and for a byte that
  /// starts no valid character, else 2, 3 or 4. GB18030 "\x81\x30\x81\x30" is 4.
  virtual std::size_t CharLength(std::string_view text, std::size_t pos) const = 0;

  /// The first match of `needle` at a character boundary at or after byte `from`, or npos.
  virtual std::size_t Find(std::string_view text, std::string_view needle,
                           std::size_t from) const = 0;

  /// The largest character boundary at or below `room` bytes of text, walking from the start.
  virtual std::size_t BoundaryAtOrBelow(std::string_view text, std::size_t room) const = 0;

  /// Replaces every full-width space (U+3000) by two ASCII spaces, in place; returns the new
  /// size (smaller in UTF-8, where U+3000 is three bytes).
  virtual std::size_t WidenFullWidthSpaces(char* data, std::size_t size) const = 0;

  /// The bytes of U+3000 in the text's encoding: "\xA1\xA1" in GBK, "\xE3\x80\x80" in UTF-8.
  virtual std::string_view FullWidthSpace() const = 0;

  /// Bytes of `text` up to the end of its last character that is neither ASCII white space
  /// nor a full-width space: what clean-up keeps of it, before widening. "ab\u3000 " in UTF-8
  /// keeps 2.
  std::size_t TrimmedLength(std::string_view text) const;

  /// The text with every full-width space removed.
  virtual std::string RemoveFullWidthSpaces(std::string_view text) const = 0;

  /// The keyword text with full-width spaces made two ASCII spaces, trimmed at both ends.
  std::string NormaliseKeywords(std::string_view text) const;

  /// True when `line` measures at most `limit` the way GBK would: a CJK or full-width
  /// character counts 2, an ASCII character 1, whatever the encoding. So a 20-character
  /// title limit picks the same headings in a GBK and in a UTF-8 copy of a book.
  virtual bool FitsTitle(std::string_view line, std::int64_t limit) const = 0;

  /// The bytes `text` takes when written into a piece.
  virtual std::int64_t Written(std::string_view text) const = 0;

  /// The largest character boundary whose text before it takes at most `room` bytes written.
  virtual std::size_t FitAtOrBelow(std::string_view text, std::int64_t room) const = 0;

  /// Bytes of one line break (CR LF) written: 2, or 4 in UTF-16.
  virtual std::int64_t BreakBytes() const = 0;

  /// How many bytes at the start of `data` are valid text, stopping at the first byte that
  /// begins no valid character, or at a character cut off by the end of `data` (then
  /// `cutOff` is set, and the caller may join its bytes with what comes next).
  virtual std::size_t ValidPrefix(const char* data, std::size_t size, bool& cutOff) const = 0;
};

}  // namespace sekato::engine
