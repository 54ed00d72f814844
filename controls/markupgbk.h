#pragma once

#include <string>
#include <string_view>

namespace sekato::controls {

/// The label's text conversions between the window's UTF-8 and the GBK bytes the markup is
/// read in, through the C library's iconv (Qt has no GBK codec of its own).
///
/// Both directions always give a result: a character GBK cannot write becomes "?", and bytes
/// that are not GBK (a lone lead byte, say) become U+FFFD, one per byte, so a label never
/// loses the rest of its text to one bad character.
class MarkupGbk final {
 public:
  /// "中a" → "\xD6\xD0" "a"; "😀" → "?".
  static std::string FromUtf8(std::string_view utf8);
  /// "\xD6\xD0" "a" → "中a"; "\xD6" → "\xEF\xBF\xBD" (U+FFFD).
  static std::string ToUtf8(std::string_view gbk);
};

}  // namespace sekato::controls
