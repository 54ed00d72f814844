#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codecstage.h"
#include "sekato/encoding.h"

namespace sekato::engine {

class ByteSource;

/// Turns the bytes of a source into the run's text as they are read, in one pass.
///
/// When the pieces are in the source's own encoding and nothing is converted, the bytes pass
/// unchanged and are only checked: a byte that begins no valid character is kept as it is.
/// Otherwise they are converted chunk by chunk (see CodecStage), and such a byte (in UTF-16 a
/// code unit) becomes U+FFFD, or "?" in GBK and Big5, which have none; only when UTF-16 is
/// written back as the same UTF-16 is a lone surrogate kept, as its own code unit. Either way
/// a byte-order mark at the start is not text, and the first byte that is not valid is noted
/// with its offset in the file and what was written for it, for a warning.
///
/// A valid character the pieces' encoding cannot hold (an emoji when UTF-8 becomes GBK) stops
/// the reading, but only after every byte of text before it has been handed out: the next
/// Read fails, with a message naming the character, its offset and the pieces' encoding.
class SourceDecoder final {
 public:
  /// `source` is the file's encoding, `text` the run's, `output` the pieces'; `markBytes`
  /// the byte-order mark.
  SourceDecoder(Encoding source, Encoding text, std::size_t markBytes, Encoding output);
  SourceDecoder(const SourceDecoder&) = delete;
  SourceDecoder& operator=(const SourceDecoder&) = delete;

  /// Reads from `source` and puts up to `capacity` (at least 16) bytes of text into `out`:
  /// the number of bytes, 0 at the end of the file, -1 on failure (errno is set; Error() is
  /// not empty when a character could not be converted).
  ssize_t Read(const ByteSource& source, char* out, std::size_t capacity);

  /// Checks `size` bytes of the file read elsewhere, the next in order, as Read checks what
  /// it reads (a decoder that only checks); CheckEnd after the last.
  void CheckBytes(const char* data, std::size_t size) {
    m_nConsumed += static_cast<std::int64_t>(size);
    Check(data, size, false);
  }
  void CheckEnd() { Check(nullptr, 0, true); }

  /// Bytes of the file taken so far (the mark included).
  std::int64_t Consumed() const { return m_nConsumed; }
  /// True when the bytes are converted, not only checked.
  bool Converts() const { return m_first.has_value(); }
  /// Offset in the file of the first byte that begins no valid character, or -1.
  std::int64_t FirstInvalid() const { return m_nFirstInvalid; }
  /// What stands for that byte in the text: "U+FFFD" or "?", or "" when it was kept.
  const std::string& FirstInvalidWrittenAs() const { return m_strWrittenAs; }
  const std::string& Error() const { return m_strError; }
  /// When the failure is a character the pieces' encoding cannot hold: what the
  /// UnwritableInSource message says after the file (offset, character, encoding); empty
  /// otherwise.
  const std::vector<std::string>& Unwritable() const { return m_unwritable; }

 private:
  ssize_t ReadRaw(const ByteSource& source, char* out, std::size_t capacity);
  void Check(const char* data, std::size_t size, bool final);
  ssize_t Convert(const ByteSource& source, char* out, std::size_t capacity);
  /// Reads more of the file behind what is left; false (errno set) when reading failed.
  bool Refill(const ByteSource& source);
  /// One step of the one stage over the bytes read: false when Read is to return.
  bool StepDirect(char* out, std::size_t capacity, std::size_t& produced);
  /// The same through the two stages, UTF-8 between them.
  bool StepChained(char* out, std::size_t capacity, std::size_t& produced);
  /// Writes the rest of the UTF-8 between the stages; false when `out` is full first.
  bool DrainMiddle(char* out, std::size_t capacity, std::size_t& produced);
  /// At the end of the file: what the stages still hold. False when there is no room yet.
  bool FinishStages(char* out, std::size_t capacity, std::size_t& produced);
  /// Notes the character of `length` bytes at file offset `offset`, shown as `utf8`, as
  /// one the pieces cannot hold; the reading fails once the text before it is handed out.
  void NoteUnwritable(std::int64_t offset, std::string_view utf8);
  /// Offset in `block` of the source character whose text begins at `utf8Bytes` into what
  /// the first stage made of it.
  std::size_t OffsetInBlock(const char* block, std::size_t size, std::size_t utf8Bytes) const;
  void NoteInvalid(std::int64_t offset, const char* writtenAs) {
    if (m_nFirstInvalid >= 0) return;
    m_nFirstInvalid = offset;
    m_strWrittenAs = writtenAs;
  }

  Encoding m_source;
  Encoding m_output;
  std::size_t m_nSkip;
  bool m_bKeepSurrogates = false;
  std::optional<CodecStage> m_first;   ///< on the file's bytes, when converting
  std::optional<CodecStage> m_second;  ///< on the UTF-8 the first made, when chained
  std::vector<char> m_middle;          ///< UTF-8 between the stages
  std::size_t m_midBegin = 0;
  std::size_t m_midEnd = 0;
  std::int64_t m_nConsumed = 0;
  std::int64_t m_nFirstInvalid = -1;
  std::string m_strWrittenAs;
  std::string m_carry;  ///< a character cut off by the end of the last chunk checked
  std::vector<char> m_raw;
  std::size_t m_rawBegin = 0;
  std::size_t m_rawEnd = 0;
  bool m_bEof = false;
  bool m_bNeedMore = false;  ///< what is left of the bytes read is a character cut off
  bool m_bFinished = false;  ///< what the stages held back at the end has been written
  bool m_bFailed = false;    ///< the character that stops the reading has been reached
  std::string m_strError;
  std::vector<std::string> m_unwritable;  ///< offset, character, encoding
};

}  // namespace sekato::engine
