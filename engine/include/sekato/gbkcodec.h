#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sekato::engine {

/// Conversions between GBK (the text of the books and of the markup label, read as GB18030
/// and written back to its two-byte codes, see CodecStage) and UTF-8 (the
/// file system, the command line and the window), done only at the edges.
class GbkCodec final {
 public:
  /// UTF-8 → GBK; nothing when the text holds a character GBK cannot write or is not UTF-8.
  /// "第  章" → "\xB5\xDA  \xD5\xC2"; "😀" → nothing.
  static std::optional<std::string> FromUtf8(std::string_view utf8);

  /// GBK → UTF-8; nothing when the bytes are not valid GBK (a lone lead byte, for example).
  static std::optional<std::string> ToUtf8(std::string_view gbk);

  /// For text that must always show (a label): a character GBK cannot write becomes "?", so
  /// one bad character never loses the rest. "中a" → "\xD6\xD0" "a"; "a😀b" → "a?b".
  static std::string FromUtf8OrMark(std::string_view utf8);

  /// The same the other way: each byte that is not GBK becomes U+FFFD.
  /// "\xD6\xD0" "a" → "中a"; "a\xD6" → "a\xEF\xBF\xBD".
  static std::string ToUtf8OrMark(std::string_view gbk);
};

}  // namespace sekato::engine
