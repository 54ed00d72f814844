#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace sekato::engine {

class LineReader;
class TextRules;

/// The white space at the end of what has been read of a long line, held back while clean-up
/// cannot yet tell whether text follows it (then it is written) or the line ends (then it is
/// trimmed away).
///
/// Only where the blanks lie in the text is held, never the bytes: when text follows they
/// are read again through the reader (see LineReader::ReadAt), so a stretch of any length and
/// mix costs nothing. Full-width spaces among
/// them come back as two ASCII spaces, as clean-up makes them.
class TrailingBlanks final {
 public:
  /// `length` blank bytes at source offset `offset`, right after those already held.
  void Add(std::int64_t offset, std::int64_t length) {
    if (m_nLength == 0) m_nOffset = offset;
    m_nLength += length;
  }

  /// Reads what is held back from `source` and hands it to `write` in chunks of at most
  /// 64 KiB, each ending at a character of `rules` and widened as clean-up widens; then holds
  /// nothing. False as soon as reading fails (the reader says why) or `write` returns false.
  bool Drain(LineReader& source, const TextRules& rules,
             const std::function<bool(std::string_view)>& write);

  void Clear() { m_nLength = 0; }

 private:
  std::int64_t m_nOffset = 0;
  std::int64_t m_nLength = 0;
};

}  // namespace sekato::engine
