#pragma once

#include <string>
#include <string_view>

namespace sekato::engine {

/// Whether a source looks like text at all, before any encoding is guessed for it.
///
/// A picture or an archive renamed ".txt" would otherwise be taken for some encoding (NUL
/// bytes read as UTF-16) and split into pieces of noise. Not text is:
///  - a file that starts as PNG, JPEG, GIF, PDF, ZIP or ELF files do;
///  - NUL bytes in plenty (one in 200 bytes or more) without a byte-order mark, two of them
///    in one byte pair at an even offset somewhere. UTF-16 has NULs in plenty ("a\0b\0",
///    "\0\x4E" for 一) but never a pair of them (U+0000), so BOM-less UTF-16 is still text and
///    the run asks for its encoding instead.
/// A user who names the encoding has the last word: the front ends only ask this when the
/// encoding is detected.
class SourceClassifier final {
 public:
  enum class Kind {
    Text,
    Empty,    ///< no byte at all
    NotText,  ///< see above
  };

  /// The kind of a source whose first bytes are `prefix` (a few KB are enough).
  static Kind Classify(std::string_view prefix);

  /// The kind of the file at `path`, from its first bytes; Text when it cannot be read (the
  /// run then says why it cannot open it).
  static Kind OfFile(const std::string& path);
};

}  // namespace sekato::engine
