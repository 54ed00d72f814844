#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sekato/encoding.h"

namespace sekato::engine {

/// Whole-text conversions between encodings (iconv), for the short texts a run sets up:
/// keywords, head and tail text, numerals, the promotional line, titles.
class TextCodec final {
 public:
  /// `text` from `from` into `to`; nothing when a character cannot be read or written.
  /// Same encodings give the text unchanged.
  static std::optional<std::string> Convert(std::string_view text, Encoding from, Encoding to);

  /// The first character of the UTF-8 `utf8` that `to` cannot hold, as UTF-8; nothing when
  /// every character can be written. Unwritable("第一章", Big5) is nothing; Unwritable("这",
  /// Big5) is "这" (a simplified-only character).
  static std::optional<std::string> Unwritable(std::string_view utf8, Encoding to);

  /// Converts as much as it can: returns how many bytes of `text` were converted into `out`
  /// (appended) before the first character that could not be read or written.
  static std::size_t ConvertPrefix(std::string_view text, Encoding from, Encoding to,
                                   std::string& out);
};

}  // namespace sekato::engine
