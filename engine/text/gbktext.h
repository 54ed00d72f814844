#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sekato::engine {

/// Character-aware operations on GBK text.
///
/// A GBK character is one byte, or two bytes when the first lies in 0x81–0xFE (the second,
/// the trail byte, may be anything from 0x40 up, ASCII letters included). Character
/// boundaries are found by walking from the first byte of the text: in "\xB5\xDA" + "A" the
/// byte 0xDA is a trail byte, so "\xDA" + "A" is never matched there.
class GbkText final {
 public:
  static constexpr std::string_view kFullWidthSpace = "\xA1\xA1";  ///< "　"
  static constexpr std::size_t npos = std::string_view::npos;

  /// True for a byte that starts a two-byte character.
  static constexpr bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

  /// The first match of `needle` at a character boundary at or after byte `from`, or npos.
  /// Find("\xB5\xDA\xD5\xC2", "\xD5\xC2", 0) == 2; Find("\xB5\xD5\xC2", "\xD5\xC2", 0) == npos
  /// (there 0xD5 is the trail byte of the first character).
  static std::size_t Find(std::string_view text, std::string_view needle, std::size_t from);

  /// The largest character boundary at or below `room`, walking from the start of `line`.
  /// For "a" + "\xB5\xDA" + "b": room 2 → 1 (never inside 第), room 3 → 3.
  static std::size_t BoundaryAtOrBelow(std::string_view line, std::size_t room);

  /// Replaces every full-width space by two ASCII spaces, in place (the length stays).
  static void WidenFullWidthSpaces(char* data, std::size_t size);

  /// The text with every full-width space made two ASCII spaces, then trimmed at both ends:
  /// how the keyword text is read before it is cut into keywords.
  static std::string NormaliseKeywords(std::string_view text);
};

}  // namespace sekato::engine
