#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sekato::engine {

/// Reads a source ahead on a thread of its own, one chunk at a time, into a buffer the
/// reader then swaps with its own: copying the next chunk out of the page cache (and checking
/// it) runs on the other processor while the chunk before is split.
///
/// Two buffers take turns: the one the reader works in, and the one being read into. Each
/// chunk lies at the buffer's `headroom`, so the reader can put the unfinished line it still
/// holds right before it and go on without moving the chunk.
class ReadAhead final {
 public:
  /// One read as `read` would do it: into `out`, at most `capacity` bytes; the bytes read,
  /// 0 at the end, -1 with errno set on failure. `firstInvalid` is asked right after each
  /// read, so what it says travels with that chunk.
  using ReadFunction = std::function<ssize_t(char* out, std::size_t capacity)>;
  using InvalidFunction = std::function<std::int64_t()>;

  /// Starts reading the first chunk at once, into a buffer of `bufferBytes` whose first
  /// `headroom` bytes are left free.
  ReadAhead(ReadFunction read, InvalidFunction firstInvalid, std::size_t headroom,
            std::size_t bufferBytes);
  /// Waits for the read under way, if any, and ends the thread.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  /// What a finished read gave.
  struct Chunk {
    ssize_t got = 0;                 ///< as the read function returned it
    int error = 0;                   ///< errno when got is -1
    std::int64_t firstInvalid = -1;  ///< as the invalid function said after the read
  };

  /// Waits for the chunk being read and returns what it gave; its bytes are at
  /// Ready()[Headroom(), Headroom() + got).
  Chunk Wait();
  /// The buffer Wait's chunk lies in; the caller may write into its headroom.
  std::vector<char>& Ready() { return m_ready; }
  /// Swaps the caller's `buffer` with the ready one and starts reading the next chunk into
  /// the buffer given back (nothing more is read after the end or a failure).
  void Exchange(std::vector<char>& buffer);
  /// Starts reading the next chunk into the ready buffer again, its chunk taken by copying.
  void Again();

  std::size_t Headroom() const { return m_nHeadroom; }

 private:
  void Run();

  ReadFunction m_read;
  InvalidFunction m_firstInvalid;
  std::size_t m_nHeadroom;
  std::vector<char> m_ready;  ///< read into while m_bReading, else holds the last chunk
  Chunk m_chunk;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_bReading = true;  ///< the thread owns m_ready
  bool m_bDone = false;    ///< the end or a failure was read: no more reads
  bool m_bQuit = false;
  std::thread m_thread;
};

}  // namespace sekato::engine
