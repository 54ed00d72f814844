#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sekato::engine {

/// Conversions between GBK (the text of the books) and UTF-8 (the file system, the command
/// line and the window), done only at the edges.
class GbkCodec final {
 public:
  /// UTF-8 → GBK; nothing when the text holds a character GBK cannot write or is not UTF-8.
  /// "第  章" → "\xB5\xDA  \xD5\xC2"; "😀" → nothing.
  static std::optional<std::string> FromUtf8(std::string_view utf8);

  /// GBK → UTF-8; nothing when the bytes are not valid GBK (a lone lead byte, for example).
  static std::optional<std::string> ToUtf8(std::string_view gbk);
};

}  // namespace sekato::engine
