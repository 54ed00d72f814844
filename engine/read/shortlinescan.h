#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "bytesource.h"
#include "cpufeatures.h"

namespace sekato::engine {

/// Reads a source front to back in large blocks on the calling thread and hands out only the
/// lines short enough to matter to the reader; every longer line is only counted, and the
/// next line handed out is told that one came before it. The line feeds of each block are
/// found 16 to 64 bytes at a time (see CpuFeatures), so a long line costs a few vector
/// compares and never a call: heading detection, which needs to look at the few short lines
/// of a book, pays little more than the read itself.
///
/// Lines are those LineReader gives: a line ends at a line feed, a CR right before it goes
/// with the break, a last line without line feed is still a line (keeping a CR it ends in).
/// Memory is one block and the room for the longest line handed out, whatever the file,
/// while Run runs.
///
/// Example: with a limit of 4 bytes, "ab\r\nlong line\nx" hands out "ab" (line 1, offset 0)
/// and "x" (line 3, offset 15, a long line before it), and Lines() is 3.
class ShortLineScan final {
 public:
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 16;

  struct Line {
    char* data = nullptr;     ///< writable in place, valid during the call only
    std::size_t size = 0;     ///< without the CR and line feed
    std::int64_t number = 0;  ///< from 1
    std::int64_t offset = 0;  ///< of its first byte in the file
    bool longBefore = false;  ///< a line longer than the limit came since the last one handed
  };
  /// Takes a short line; false stops the scan.
  using LineSink = std::function<bool(const Line& line)>;
  /// Told the file position after every block; false stops the scan.
  using BlockSink = std::function<bool(std::int64_t position)>;
  enum class End { Done, Stopped, Failed };

  /// Lines up to `lineLimit` bytes (without CR and line feed) are handed out.
  explicit ShortLineScan(std::size_t lineLimit, std::size_t blockBytes = kBlockBytes);
  ~ShortLineScan();
  ShortLineScan(const ShortLineScan&) = delete;
  ShortLineScan& operator=(const ShortLineScan&) = delete;

  /// Opens `path` (a regular file) to read from byte `skip` on (after a byte-order mark);
  /// on failure returns false with the system's reason in `error`.
  bool Open(const std::string& path, std::int64_t skip, std::string& error);
  /// The file's length in bytes (at open).
  std::int64_t Length() const { return m_file.Length(); }

  /// Run reads only the lines that start in [from, to) of the file, numbered from 1, the
  /// last of them whole even when it runs on past `to`; so slices cut anywhere share out a
  /// file's lines, each line to one slice. `from` at or before the read start (after a mark)
  /// takes the first line.
  ///
  /// Example: in "ab\ncd\nef", [1, 4) holds "cd" alone: its line starts at 3, and the line
  /// at 0 and the one at 6 start outside; [0, 1) holds "ab"; [4, 6) holds nothing.
  void Limit(std::int64_t from, std::int64_t to);

  /// Which short lines are worth handing out, told by how they open: after white space
  /// (ASCII space, tab and CR, and `wideSpace`), by their first two bytes, the second 0 when
  /// the line ends after the first. Example: with the pair "第" and 。 as wide space,
  /// "。。第一章" is handed out, "。。他说" is not.
  struct Openers {
    std::bitset<65536> pairs;  ///< first byte × 256 + second byte
    std::string wideSpace;
  };
  /// Hands out only the short lines that open as `openers` allows (null: every one; the
  /// caller keeps it while the scan runs). A line turned away is body text, as a long line
  /// is: the next line handed out is told one came before it. A line of white space alone is
  /// only counted.
  void Only(const Openers* openers) { m_pOpeners = openers; }

  /// Reads the file to its end (Done), until a sink says stop (Stopped) or reading fails
  /// (Failed, see Error).
  End Run(const LineSink& onLine, const BlockSink& onBlock);

  /// Lines counted so far: every line of the file once Run is Done.
  std::int64_t Lines() const { return m_nLines; }
  /// A line longer than the limit ended the file (after the last line handed out).
  bool LongAtEnd() const { return m_bLong; }
  /// A line feed read so far had no CR right before it: a split writes every line break as
  /// CR LF, so such a book's bytes would change on their way into the pieces. A line feed
  /// that opens the range read counts as bare, as nothing of the line before is known there.
  /// Example: "a\r\nb\n" has one (after "b"), "a\r\n\r\n" none.
  bool BareFeeds() const { return m_bBare; }
  const std::string& Error() const { return m_strError; }

  /// The offsets of the line feeds in data[from, end), each added to `base`, in order,
  /// through `take`, as the kernel of `level` finds them; for the tests, which hold every
  /// kernel to the plain loop's answer.
  static void FeedsWith(SimdLevel level, const char* data, std::size_t from, std::size_t end,
                        const std::function<void(std::size_t at)>& take);

 private:
  /// Hands out or counts the line in m_pBuffer[start, end), which ends at a line feed when
  /// `fed`; false when the sink says stop.
  bool Take(std::size_t start, std::size_t end, bool fed, const LineSink& onLine);
  /// Every whole line in m_pBuffer[from, stop), through the kernel of `level`; the start of
  /// the unfinished line after them, or npos when the sink said stop.
  std::size_t Lines(SimdLevel level, std::size_t from, std::size_t stop, const LineSink& onLine);
  End Scan(const LineSink& onLine, const BlockSink& onBlock);
  /// Where the first line starting at or after m_nFrom starts, if before m_nTo: the read
  /// start when m_nFrom is not past it, else one past the first line feed at m_nFrom − 1 or
  /// later; -1 when no line starts in the range; -2 when reading failed.
  std::int64_t FirstLineStart();

  enum class Opening { Hands, Body, Blank };
  /// How the line in m_pBuffer[start, end) opens, by m_pOpeners.
  Opening Opens(std::size_t start, std::size_t end) const;

  std::size_t m_nLimit;
  const Openers* m_pOpeners = nullptr;
  std::size_t m_nBlock;
  std::size_t m_nRoom;  ///< bytes before the block for an unfinished short line
  std::unique_ptr<char[]> m_pBuffer;
  ByteSource m_file;
  std::int64_t m_nSkip = 0;
  std::int64_t m_nFrom = 0;
  std::int64_t m_nTo = std::numeric_limits<std::int64_t>::max();
  std::int64_t m_nBase = 0;  ///< file offset of m_pBuffer[0]
  std::int64_t m_nLines = 0;
  bool m_bLong = false;  ///< a long line was counted since the last line handed out
  bool m_bBare = false;
  std::string m_strError;
};

}  // namespace sekato::engine
