#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "longlinestore.h"
#include "sourcefeed.h"

namespace sekato::engine {

class SourceDecoder;
class TextRules;

/// Reads a source file line by line through one large buffer, in a single pass: hands out
/// lines, runs of lines (LinesAtHand) and parts of long lines. Where its bytes come from is
/// the SourceFeed's; what a long line needs besides its parts, the LongLineStore's.
///
/// A line ends at a line feed; a carriage return right before it goes with it; a last line
/// without a line feed is still a line; an empty file has no lines. So "a\r\nb\n\nc" gives
/// "a", "b", "", "c". Only the current line is held: memory is the buffer, grown only for a
/// line longer than the buffer, unless the caller takes long lines in parts (SetPartLimit).
class LineReader final {
 public:
  LineReader();
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Opens `path`; on failure returns false with the system's reason in `error`.
  bool Open(const std::string& path, std::string& error);

  /// The file's length in bytes (at open).
  std::int64_t Length() const { return m_feed.File().Length(); }

  /// The file's identity, so that no piece is ever written over it.
  dev_t Device() const { return m_feed.File().Device(); }
  ino_t Inode() const { return m_feed.File().Inode(); }

  /// Lines longer than `bytes` (at least 4) come in parts of about that size, so that memory
  /// stays bounded whatever the line; 0 (the default) always gives whole lines. The parts
  /// joined are exactly the whole line, and every part but the last ends at a character
  /// boundary of the line (see SetRules): "\xB5\xDA" (第) is never split between two parts.
  void SetPartLimit(std::size_t bytes) { m_nPartLimit = bytes; }

  /// Bytes come through `decoder` (checked, or converted into the run's text) instead of
  /// straight from the file; it must outlive the reading. Null reads the file as it is.
  void SetDecoder(SourceDecoder* decoder);

  /// Keeps every long line (one handed out in parts) in an unnamed file in `folder` as it
  /// is handed out, so that MeasureLine and ReadAt can look at its text again when the
  /// file's bytes are not the text (the decoder converts them); see LongLineStore.
  void SpillLongLines(std::string folder) { m_store.SpillTo(std::move(folder)); }

  /// The bytes read at once, ahead or not.
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 18;

  /// Lets the reader read ahead on a thread of its own, `chunkBytes` at a time, when the
  /// source is at least `fromBytes` long and read as it is or only checked (not converted,
  /// no long lines spilled); the lines are the same either way. Set before reading.
  void SetReadAhead(std::int64_t fromBytes, std::size_t chunkBytes) {
    m_feed.SetReadAhead(fromBytes, chunkBytes);
  }
  /// How many blocks the reading thread keeps, the one lines are taken from included (at
  /// least two).
  void SetAheadBlocks(std::size_t blocks) { m_feed.SetAheadBlocks(blocks); }

  /// Offset in the file of the first byte that begins no valid character, among the bytes
  /// read so far; -1 when there is none or no decoder checks them.
  std::int64_t FirstInvalid() const;

  /// What stands in the text for that byte: "U+FFFD" or "?" when the decoder converts, ""
  /// when it was kept as it is.
  const std::string& InvalidWrittenAs() const;

  /// Bytes of the file read so far, a byte-order mark included: at the end of the file, its
  /// length as it was read (less than Length when another program cut it short meanwhile).
  std::int64_t FileBytesRead() const;

  /// Bytes at the start of the file that are not text (a byte-order mark the decoder only
  /// skips): MeasureLine and ReadAt then find a text position that much further on.
  void SetTextStart(std::int64_t bytes) { m_store.SetTextStart(bytes); }

  /// The character rules parts of long lines end by (GBK unless told otherwise).
  void SetRules(const TextRules& rules) {
    m_pRules = &rules;
    m_store.SetRules(rules);
  }

  /// The next line, or the next part of a long line, writable in place (valid until the next
  /// call); `complete` is false for every part of a long line but its last. False at the end
  /// of the file or when reading failed (see Failed).
  bool Next(char*& data, std::size_t& size, bool& complete) {
    // Most lines: whole, no longer than a part, already at hand.
    if (!m_bMidLine && m_window.begin < m_window.end && m_strError.empty()) {
      const std::size_t at = m_window.end - m_window.begin;
      const std::size_t most = m_nPartLimit == 0 || at <= m_nPartLimit ? at : m_nPartLimit + 1;
      char* const start = m_window.data + m_window.begin;
      if (const void* lf = std::memchr(start, '\n', most)) {
        const auto length = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
        if (m_nPartLimit == 0 || length <= m_nPartLimit) {
          m_nLineStart = m_nPosition;
          data = start;
          size = length > 0 && data[length - 1] == '\r' ? length - 1 : length;
          complete = true;
          m_nPosition += static_cast<std::int64_t>(length + 1);
          m_window.begin += length + 1;
          return true;
        }
      }
    }
    return NextFromFile(data, size, complete);
  }

  /// The bytes at hand in the buffer from the current position, which starts a line, when
  /// there are any and no line is being handed out in parts: whole lines, perhaps with the
  /// start of one more. Writable in place, valid until the next call that reads. Runs of
  /// lines are taken from here (see TakeLines); Next gives the same lines one by one.
  bool LinesAtHand(char*& data, std::size_t& size);
  /// Moves past the first `bytes` of LinesAtHand, which end just after a line feed, as
  /// Next would move past those lines.
  void TakeLines(std::size_t bytes);
  /// The part limit (see SetPartLimit): a run may hold only lines Next gives whole.
  std::size_t PartLimit() const { return m_nPartLimit; }

  /// The length of the line now being handed out in parts, from its first byte, measured
  /// ahead without holding it: as Next will give it (no CR before the line feed), or, when
  /// `trimmed`, as clean-up leaves it (trailing ASCII blanks and full-width spaces left out,
  /// each full-width space inside counted as two ASCII spaces). Bytes are counted as the
  /// rules write them: "第" counts 2 when UTF-8 text goes out as UTF-16. Counting stops past
  /// `bound`, giving bound + 1; -1 when reading failed (see Failed); -2 as soon as
  /// `keepGoing`, asked every 64 KiB, says no. So a long line can be moved whole without
  /// being held whole.
  std::int64_t MeasureLine(bool trimmed, std::int64_t bound,
                           const std::function<bool()>& keepGoing) {
    return m_store.Measure(m_nLineStart, AtHandNow(), trimmed, bound, keepGoing, m_strError);
  }

  /// The largest the reading buffer has grown to since Open: stays at its first size unless
  /// a line longer than it was read whole.
  std::size_t LargestBuffer() const { return m_feed.LargestBuffer(); }

  /// Reads `size` bytes at text position `offset` again, without moving the reader; false
  /// (see Failed) when they cannot all be read. When spilling long lines, only the current
  /// long line's bytes handed out so far can be read again.
  bool ReadAt(std::int64_t offset, char* data, std::size_t size) {
    return m_store.ReadAt(offset, data, size, m_strError);
  }

  /// Bytes of the file consumed so far, up to and including the last line's line feed.
  std::int64_t Position() const { return m_nPosition; }

  /// How far into the file the reading has come, for progress: Position, or the file bytes
  /// converted so far when the decoder converts.
  std::int64_t ProgressPosition() const {
    return m_feed.Converts() ? ConvertedSoFar() : m_nPosition;
  }

  bool Failed() const { return !m_strError.empty(); }
  const std::string& Error() const { return m_strError; }

  void Close();

 private:
  /// Next where the buffer must be filled or a line comes in parts.
  bool NextFromFile(char*& data, std::size_t& size, bool& complete);
  bool NextPiece(char*& data, std::size_t& size, bool& complete);
  std::int64_t ConvertedSoFar() const;
  /// The text at hand, for the long-line store.
  LongLineStore::AtHand AtHandNow() const {
    return {m_nPosition, m_window.data + m_window.begin, m_window.end - m_window.begin, m_bEof};
  }
  /// Text position of the buffer's end.
  std::int64_t BufferEnd() const {
    return m_nPosition + static_cast<std::int64_t>(m_window.end - m_window.begin);
  }
  bool Fill();
  /// Hands out the buffered start of a long line, ending before `sure`.
  void TakePart(std::size_t sure, char*& data, std::size_t& size);

  SourceFeed m_feed;
  SourceFeed::Window m_window;  ///< the bytes read and not yet handed out
  std::size_t m_nPartLimit = 0;
  bool m_bEof = false;
  std::int64_t m_nPosition = 0;
  std::int64_t m_nLineStart = 0;  ///< text position of the line now being handed out
  bool m_bMidLine = false;        ///< the last Next gave a part that is not the line's last
  std::string m_strError;
  const TextRules* m_pRules;
  LongLineStore m_store{m_feed};
};

}  // namespace sekato::engine
