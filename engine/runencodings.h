#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "encoding.h"
#include "message.h"
#include "splitoptions.h"
#include "textrules.h"

namespace sekato::engine {

/// The encodings of one run: the source's, the pieces', and the run's text in between.
///
/// The run's text is the pieces' encoding, so that every count is a count of bytes written
/// and every cut falls between characters of the pieces; only for UTF-16 pieces is it UTF-8,
/// converted once more as it is written. A UTF-8 source split into GBK pieces is thus read
/// as GBK text, converted as it streams; a UTF-16LE source split as it is becomes UTF-8 text
/// written back as UTF-16LE.
class RunEncodings final {
 public:
  /// Resolves the encodings from the options and the start of the source. On refusal
  /// (UTF-16 without a mark) or failure (the source cannot be read) returns nothing with
  /// `message` set and `refused` telling which.
  static std::optional<RunEncodings> Resolve(const SplitOptions& options, Message& message,
                                             bool& refused);

  Encoding Source() const { return m_source; }
  Encoding Output() const { return m_output; }
  Encoding Text() const { return m_text; }
  bool Detected() const { return m_bDetected; }
  /// Bytes of the byte-order mark the source starts with.
  std::size_t MarkBytes() const { return m_nMarkBytes; }
  const TextRules& Rules() const { return TextRules::For(m_text, m_output); }

  /// What starts every piece: the byte-order mark, when the pieces are UTF-16 or are UTF-8
  /// from a source that had one (as run text).
  std::string Preamble() const;

  /// `text` (in `from`) as run text; nothing, with `message` (`field`, one of the
  /// Unwritable… ids of the form's fields) naming the first character the pieces' encoding
  /// cannot hold, when it cannot be written.
  std::optional<std::string> ToText(std::string_view text, Encoding from, MessageId field,
                                    Message& message) const;

 private:
  Encoding m_source = Encoding::Gbk;
  Encoding m_output = Encoding::Gbk;
  Encoding m_text = Encoding::Gbk;
  bool m_bDetected = false;
  std::size_t m_nMarkBytes = 0;
};

}  // namespace sekato::engine
