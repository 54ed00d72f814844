#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sekato/charsetguesser.h"
#include "sekato/encoding.h"

namespace sekato::engine {

/// What the start of a source says about its encoding.
struct Detection {
  Encoding encoding = Encoding::Gbk;
  std::size_t markBytes = 0;   ///< length of the byte-order mark the source starts with
  bool unmarkedUtf16 = false;  ///< full of NUL bytes without a mark: refused, never guessed
};

/// Finds the encoding of a source from a bounded prefix, in milliseconds:
///  1. a byte-order mark (UTF-8, UTF-16LE, UTF-16BE);
///  2. NUL bytes (many, or all on one side of their byte pairs) are UTF-16 without a mark,
///     which is never guessed;
///  3. a prefix that is strictly valid UTF-8 and holds at least one non-ASCII character;
///  4. the guesser: Big5 only when it says so and the prefix is valid Big5 with enough
///     two-byte characters to go on; UTF-8 when it says so;
///  5. otherwise GBK, the format this program has always read, or GB18030 when the prefix
///     holds four-byte GB18030 characters.
/// Text that is valid GBK and valid Big5 alike, and short text, is read as GBK. A file whose
/// prefix is plain ASCII is judged by what follows it (see DetectFrom).
class EncodingDetector final {
 public:
  static constexpr std::size_t kPrefixBytes = std::size_t{1} << 20;  ///< read at most this
  static constexpr std::size_t kGuessBytes = std::size_t{4} << 10;   ///< guesser's sample
  static constexpr std::size_t kMinBig5Characters = 100;

  /// Detects from `prefix`, the first bytes of the source (`whole` when it is the whole file,
  /// so a character cut off at its end is an error rather than the edge of the prefix).
  static Detection Detect(std::string_view prefix, bool whole, CharsetGuesser& guesser);
  static Detection Detect(std::string_view prefix, bool whole);

  /// Looked at past a prefix of plain ASCII for the first byte that is not.
  static constexpr std::int64_t kLookFurtherBytes = std::int64_t{32} << 20;

  /// Detects from `prefix`, the start of the file at `path` as ReadPrefix gave it. When the
  /// prefix is plain ASCII and the file goes on, it says nothing: up to kLookFurtherBytes
  /// more are read to the first byte that is not ASCII, and detection goes by the bytes from
  /// there. So a UTF-8 book that opens with a megabyte of English is read as UTF-8.
  static Detection DetectFrom(const std::string& path, std::string_view prefix, bool whole);

  /// The mark length for a source the user said is in `chosen`: the prefix may still start
  /// with that encoding's byte-order mark, which is then not text.
  static std::size_t MarkBytes(std::string_view prefix, Encoding chosen);

  /// Reads the prefix of the file at `path` and detects; nothing (with the system's reason in
  /// `error`) when it cannot be read.
  static std::optional<Detection> DetectFile(const std::string& path, std::string& error);

  /// Reads up to kPrefixBytes from the start of `path` into `prefix`; `whole` is set when
  /// that is the whole file.
  static bool ReadPrefix(const std::string& path, std::string& prefix, bool& whole,
                         std::string& error);
};

}  // namespace sekato::engine
