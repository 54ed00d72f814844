#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "encoding.h"

namespace sekato::engine {

class TableTranscoder;

/// Turns the bytes of a source into the run's text as they are read, in one pass.
///
/// When the run's text is in the source's own encoding the bytes pass unchanged and are only
/// checked; otherwise they are converted (iconv) chunk by chunk. Either way a byte-order mark
/// at the start is not text, and a byte that begins no valid character of the source is kept
/// as it is (nothing is dropped or replaced): the first one is noted with its offset in the
/// file, for a warning. A valid character the run's encoding cannot hold (an emoji when
/// UTF-8 becomes GBK) stops the reading with a message naming it.
class SourceDecoder final {
 public:
  /// `source` is the file's encoding, `text` the run's; `markBytes` the byte-order mark.
  SourceDecoder(Encoding source, Encoding text, std::size_t markBytes);
  ~SourceDecoder();
  SourceDecoder(const SourceDecoder&) = delete;
  SourceDecoder& operator=(const SourceDecoder&) = delete;

  /// Reads from `fd` and puts up to `capacity` (at least 16) bytes of text into `out`:
  /// the number of bytes, 0 at the end of the file, -1 on failure (errno is set; Error() is
  /// not empty when a character could not be converted).
  ssize_t Read(int fd, char* out, std::size_t capacity);

  /// Bytes of the file taken so far (the mark included).
  std::int64_t Consumed() const { return m_nConsumed; }
  /// True when the bytes are converted, not only checked.
  bool Converts() const { return m_cd != nullptr; }
  /// Offset in the file of the first byte that begins no valid character, or -1.
  std::int64_t FirstInvalid() const { return m_nFirstInvalid; }
  const std::string& Error() const { return m_strError; }

 private:
  ssize_t ReadRaw(int fd, char* out, std::size_t capacity);
  void Check(const char* data, std::size_t size, bool final);
  ssize_t Convert(int fd, char* out, std::size_t capacity);
  /// iconv's contract, with the table doing what it can first.
  std::size_t Transcode(char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft);
  /// Bytes of the valid source character at `p` (`left` bytes there), or 0.
  std::size_t SourceCharLength(const char* p, std::size_t left) const;
  void NoteInvalid(std::int64_t offset) {
    if (m_nFirstInvalid < 0) m_nFirstInvalid = offset;
  }

  Encoding m_source;
  Encoding m_text;
  std::size_t m_nSkip;
  void* m_cd = nullptr;                       ///< iconv descriptor when converting
  const TableTranscoder* m_pTable = nullptr;  ///< the fast way, where there is one
  std::int64_t m_nConsumed = 0;
  std::int64_t m_nFirstInvalid = -1;
  std::string m_carry;  ///< a character cut off by the end of the last chunk checked
  std::vector<char> m_raw;
  std::size_t m_rawBegin = 0;
  std::size_t m_rawEnd = 0;
  bool m_bEof = false;
  bool m_bFlushed = false;  ///< what the converter held back at the end has been written
  std::string m_strError;
};

}  // namespace sekato::engine
