#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "blockreader.h"
#include "bytesource.h"
#include "pairscanner.h"

namespace sekato::engine {

/// Reads a source in large blocks and hands out only the lines that hold one of a few byte
/// strings (the needles), with their line number and offset; every other line is only
/// counted. One vector pass a block finds the needles and counts the line feeds (on the
/// BlockReader's threads), so most bytes are looked at once, at the speed the file is read.
///
/// Lines are those LineReader gives: a line ends at a line feed, a CR right before it goes
/// with the break, a last line without line feed is still a line. A line longer than the
/// part limit (its CR counted) is never handed out, as LineReader gives such a line in parts
/// and its readers take those for body text. A needle is found at any byte, not only at a
/// character boundary: the reader of the line tells a real match. The BlockReader's ring of
/// blocks is all the memory a pass takes, whatever the file.
///
/// Example: in "ab\r\n第一章\r\nc第" with the needle "第" (GBK), lines 2 ("第一章", offset 4)
/// and 3 ("c第", offset 12) are handed out, and Lines() is 3.
class LineSieve final {
 public:
  static constexpr std::size_t kMaxNeedles = PairScanner::kMaxPairs;
  /// Half a megabyte a block: fewer hand-overs between the readers and the pass (each wakes
  /// a thread) than with smaller blocks, for about 3 MB more in the ring.
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 19;

  struct Line {
    char* data = nullptr;     ///< writable in place, valid during the call only
    std::size_t size = 0;     ///< without the CR and line feed
    std::int64_t number = 0;  ///< from 1
    std::int64_t offset = 0;  ///< of its first byte in the file
  };
  /// Takes a line that holds a needle; false stops the pass.
  using LineSink = std::function<bool(const Line& line)>;
  /// Told the file position after every block; false stops the pass.
  using BlockSink = std::function<bool(std::int64_t position)>;
  enum class End { Done, Stopped, Failed };

  /// `needles`: 1 to kMaxNeedles, each at least two bytes long and without line feed;
  /// `readers`: the threads that read ahead (0: the pass reads for itself).
  LineSieve(std::vector<std::string> needles, std::size_t partLimit,
            std::size_t blockBytes = kBlockBytes, unsigned readers = BlockReader::Readers());
  ~LineSieve();
  LineSieve(const LineSieve&) = delete;
  LineSieve& operator=(const LineSieve&) = delete;

  /// Opens `path` (a regular file) to read from byte `skip` on (after a byte-order mark);
  /// on failure returns false with the system's reason in `error`.
  bool Open(const std::string& path, std::int64_t skip, std::string& error);

  /// The file's length in bytes (at open).
  std::int64_t Length() const { return m_file.Length(); }

  /// Lines longer than `bytes` (without CR and line feed) are only counted from now on, as
  /// for a reader to whom no line that long can matter: the pass never looks at them.
  void SetLineLimit(std::size_t bytes) { m_nLineLimit = bytes; }

  /// Keeps only the first `count` needles from the next search on: a reader that needs the
  /// others no more makes the rest of the pass cheaper.
  void Narrow(std::size_t count);

  /// Reads the file to its end (Done), until a sink says stop (Stopped) or reading fails
  /// (Failed, see Error).
  End Run(const LineSink& onLine, const BlockSink& onBlock);

  /// Lines counted so far: every line of the file once Run is Done.
  std::int64_t Lines() const { return m_nLines; }

  const std::string& Error() const { return m_strError; }

 private:
  /// Hands out the line in bytes [start, end) of m_pData, which ends at a line feed when
  /// `fed`, unless it is longer than the part limit. False when the sink says stop.
  bool Hand(std::size_t start, std::size_t end, bool fed, std::int64_t number, std::int64_t base,
            const LineSink& onLine);
  /// Hands out the lines in bytes [from, stop) of m_pData that the block's hits (which begin
  /// `kept` bytes in) show to hold a needle; `from` starts a line and `stop` ends one.
  bool SiftBody(const BlockReader::Block& block, std::size_t kept, std::size_t from,
                std::size_t stop, std::int64_t linesBefore, std::int64_t base,
                const LineSink& onLine);
  /// True when bytes [0, end) of m_pData hold a needle.
  bool HoldsNeedle(std::size_t end) const;
  /// True when a needle stands whole at byte `at` of m_pData, before `stop`.
  bool NeedleAt(std::size_t at, std::size_t stop) const;

  std::vector<std::string> m_needles;
  std::vector<PairScanner::Pair> m_pairs;
  std::size_t m_nPartLimit;
  std::size_t m_nLineLimit = static_cast<std::size_t>(-1);
  std::size_t m_nBlock;
  unsigned m_nReaders;
  BlockReader* m_pBlocks = nullptr;  ///< while Run reads, told of Narrow
  char* m_pData = nullptr;  ///< the bytes of the block being sifted, an unfinished line first
  ByteSource m_file;
  std::int64_t m_nSkip = 0;
  std::int64_t m_nLines = 0;
  std::string m_strError;
};

}  // namespace sekato::engine
