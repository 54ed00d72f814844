#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "bytesource.h"
#include "pairscanner.h"

namespace sekato::engine {

/// Reads a file ahead in fixed blocks on background threads, into a small ring of buffers;
/// in each block it finds where given byte pairs stand and counts the line feeds before
/// them, and hands the blocks out in file order.
///
/// Copying a file out of the page cache and looking at every byte once is most of what a
/// pass over it costs; with two readers both run for neighbouring blocks side by side, each
/// on bytes still in its own cache, and beside the caller's work on the block before.
/// Memory is the ring, whatever the file. Every buffer has `room` bytes before its block,
/// which the caller may fill with bytes that belong in front of it (the start of a line the
/// block before left unfinished). Block::last tells the last block. Without threads (none
/// wanted, or none to be had) the caller reads each block itself when it asks for it.
///
/// The blocks may also come from a stream that must be read in order (a decoder that checks
/// the bytes as it reads them): then one reader at most reads them, one after another, and no
/// pairs are looked for. The split reads its source so; the chapter list reads the file.
class BlockReader final {
 public:
  /// Reads `source` (kept open by the caller) from byte `start` on, finding `pairs`.
  BlockReader(const ByteSource& source, std::int64_t start, std::size_t blockBytes,
              std::size_t room, std::vector<PairScanner::Pair> pairs, unsigned readers);

  /// Bytes read in order, as `read(2)` gives them: into `out`, at most `capacity` (at least
  /// 16) bytes; the bytes read, 0 at the end, -1 with errno set on failure. `note` (may be
  /// empty) is asked right after each block is read, and what it says travels with the block.
  struct Stream {
    std::function<ssize_t(char* out, std::size_t capacity)> read;
    std::function<std::int64_t()> note;
  };
  /// Reads blocks from `stream` with at most one reader (none: the caller reads them). A
  /// block may then be shorter than the block size without being the last. The ring holds
  /// `blocks` (at least two): one the caller holds, the others read ahead.
  BlockReader(Stream stream, std::size_t blockBytes, std::size_t room, unsigned readers,
              std::size_t blocks = 2);
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  /// A pair found: where it starts in the block, the line feeds in the block before it, and
  /// the bounds of its line in the block, found while the block is still in the reader's
  /// cache: where the line starts (after the line feed before the pair; npos when it starts
  /// before the block) and the line feed that ends it (npos when it ends after the block).
  struct Hit {
    std::size_t at = 0;
    std::int64_t feeds = 0;
    std::size_t lineStart = npos;
    std::size_t lineEnd = npos;
  };
  struct Block {
    char* buffer = nullptr;  ///< the block begins `room` bytes in
    std::size_t size = 0;
    const std::vector<Hit>* hits = nullptr;  ///< every pair wholly inside the block, in order
    std::int64_t feeds = 0;                  ///< line feeds in the block
    bool last = false;       ///< nothing comes after it: the end of the source, or a failure
    std::int64_t note = -1;  ///< what the stream's note said after it was read
  };

  /// The pairs to find (1 to PairScanner::kMaxPairs), for the blocks read from now on; the
  /// blocks read ahead before may still hold hits of the pairs before.
  void SetPairs(const std::vector<PairScanner::Pair>& pairs);

  /// The next block. False when reading it failed, with the errno value in `error`. The
  /// caller holds at most two blocks at once and gives the older back with Release.
  bool Next(Block& block, int& error);

  /// Gives back the oldest block held, for reading further ahead.
  void Release();

  /// How many readers a pass is worth on this machine: two with two processors or more.
  static unsigned Readers();

 private:
  struct Slot {
    std::unique_ptr<char[]> bytes;  ///< room, then the block; pages are touched as used
    std::int64_t block = -1;        ///< the block it holds once read; -1 while empty
    std::int64_t next = 0;          ///< the block it is to be read with next
    std::size_t size = 0;
    int error = 0;
    std::vector<Hit> hits;
    std::int64_t feeds = 0;
    bool last = false;
    std::int64_t note = -1;
  };

  /// Reads block `index` into its slot and finds `pairs` in it, without the lock.
  void Read(std::int64_t index, Slot& slot, const std::vector<PairScanner::Pair>& pairs) const;
  /// Fills the slot with the stream's next bytes: up to a block, or less at its end.
  void ReadStream(Slot& slot) const;
  void Start(unsigned readers);
  void Work(unsigned first);
  /// Tells every reader to stop (under no lock) and waits for them.
  void StopReaders();
  Slot& SlotOf(std::int64_t index) {
    return m_slots[static_cast<std::size_t>(index) % m_slots.size()];
  }

  const ByteSource* m_pSource = nullptr;
  Stream m_stream;  ///< read instead of the source when there is none
  std::int64_t m_nStart;
  std::size_t m_nBlock;
  std::size_t m_nRoom;
  std::int64_t m_nReaders;  ///< reader i reads blocks i, i + readers, …
  std::vector<Slot> m_slots;
  std::vector<std::thread> m_threads;
  std::mutex m_mutex;
  /// The caller waits here for its next block; each reader on its own variable for its
  /// slot to come free, so that a hand-over wakes only the thread it concerns.
  std::condition_variable m_ready;
  std::unique_ptr<std::condition_variable[]> m_freed;
  bool m_bStop = false;
  std::vector<PairScanner::Pair> m_pairs;  ///< under the lock
  std::int64_t m_nNext = 0;                ///< the block Next hands out next
  std::int64_t m_nOldest = 0;              ///< the oldest block the caller holds
};

}  // namespace sekato::engine
