#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sekato::engine {

/// The encodings a book can come in. `Auto` means "detect it" for a source and "the
/// source's own" for the pieces.
enum class Encoding { Auto, Gbk, Gb18030, Big5, Utf8, Utf16Le, Utf16Be };

/// Names and properties of the encodings.
struct Encodings final {
  /// Every encoding a user can name, in the order menus list them (Auto first).
  static constexpr Encoding kAll[] = {Encoding::Auto,   Encoding::Gbk,  Encoding::Gb18030,
                                      Encoding::Big5,   Encoding::Utf8, Encoding::Utf16Le,
                                      Encoding::Utf16Be};

  /// The command-line name: "auto", "gbk", "gb18030", "big5", "utf-8", "utf-16le",
  /// "utf-16be". `Parse` also takes any letter case and "utf8", "utf16le", "utf16be".
  static std::string_view Name(Encoding encoding);
  static std::optional<Encoding> Parse(std::string_view name);

  /// What users read: "GBK", "GB18030", "Big5", "UTF-8", "UTF-16LE", "UTF-16BE".
  static std::string_view DisplayName(Encoding encoding);

  /// The name iconv knows it by; Big5 is read as Big5-HKSCS, its superset.
  static const char* IconvName(Encoding encoding);

  static bool IsUtf16(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
  }

  /// The byte-order mark: EF BB BF for UTF-8, FF FE / FE FF for UTF-16, none otherwise.
  static std::string_view ByteOrderMark(Encoding encoding);
};

}  // namespace sekato::engine
