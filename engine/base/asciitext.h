#pragma once

#include <cstddef>
#include <string_view>

namespace sekato::engine {

/// Byte-level text operations that hold in every encoding the engine reads as bytes (GBK,
/// GB18030, Big5, UTF-8): searching bytes and trimming ASCII white space. In all of them no
/// byte of a longer character is ASCII white space, so trimming never cuts a character.
class AsciiText final {
 public:
  /// How many bytes of [data, data + size) are `byte`, sixteen at a time where the
  /// processor can: "a\nb\n" holds two line feeds.
  static std::size_t Count(const char* data, std::size_t size, char byte);

  static constexpr std::size_t npos = std::string_view::npos;

  /// The first byte-for-byte match of `needle` at or after byte `from`, character boundaries
  /// or not; npos when there is none. Any encoding's search starts here.
  static std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from);

  /// ASCII white space: space, tab, LF, VT, FF, CR.
  static constexpr bool IsSpace(unsigned char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
  }
  /// `text` without the white space at its end ("a b \t" → "a b"), or at both ends.
  static std::string_view TrimRight(std::string_view text);
  static std::string_view Trim(std::string_view text);
};

}  // namespace sekato::engine
