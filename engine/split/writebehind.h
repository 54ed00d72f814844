#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "runcleaner.h"

namespace sekato::engine {

/// Writes filled buffers to their files on a thread of its own, in the order they are handed
/// over, while the caller fills the next: the copy into the page cache then runs beside the
/// work that makes the bytes, on a second core. The buffers are a small ring the object owns
/// and lends out one at a time, so nothing is copied on the way and memory stays the ring.
///
/// The first failed write is kept (errno) and every later buffer is passed over unwritten
/// until Settle tells it, as a file's writes do nothing after its first failure.
///
/// A file may also be closed behind (HandClose): the thread closes it after its last buffer,
/// so the caller goes on to the next file while the last one is still being written. A file
/// that fails is then named by the name its close was handed with.
///
/// A buffer may hold stretches still to be cleaned up (runs of lines, see RunCleaner): the
/// thread cleans each where it lies just before it writes the buffer, and what is kept of it
/// goes out in its place. So clean-up, too, runs on the second core.
///
/// Example: with buffers of 4 bytes, Free() gives A; "abcd" goes into it and Hand(fd, A, 4)
/// queues it; Free() gives B at once (or waits while every buffer is queued); after
/// Hand(fd, B, 2) and Settle(), the file holds "abcd" and B's two bytes after them.
class WriteBehind final {
 public:
  /// A ring of `buffers` (at least 2) buffers of `bytes` each.
  WriteBehind(std::size_t bytes, std::size_t buffers);
  /// Writes what is still queued, then ends the thread.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  /// Starts the writing thread; false when none can be had (the caller then writes itself
  /// and never hands anything over).
  bool Start();

  /// Bytes a buffer holds.
  std::size_t BufferBytes() const { return m_nBytes; }

  /// The buffer to fill next: the one after the last handed over, once the writer has
  /// written what it held before (waits while every buffer is queued).
  char* Free();

  /// Bytes [at, at + size) of a buffer: a run of lines that `cleaner` cleans before the buffer
  /// is written. A buffer holds at most kMostStretches, in order, apart.
  struct Stretch {
    std::size_t at = 0;
    std::size_t size = 0;
  };
  static constexpr std::size_t kMostStretches = 128;
  /// The stretches of one buffer still to be cleaned, and what cleans them.
  struct ToClean {
    const RunCleaner* cleaner = nullptr;
    const Stretch* stretches = nullptr;
    std::size_t count = 0;
  };

  /// Cleans the stretches of the `size` bytes at `bytes` and tells `keep(at, length)`, in
  /// order, each part that then goes out: the bytes between the stretches, and what each
  /// stretch keeps (parts of no length left out).
  template <class Keep>
  static void CleanStretches(char* bytes, std::size_t size, const ToClean& toClean, Keep&& keep) {
    std::size_t done = 0;
    const auto part = [&](std::size_t at, std::size_t length) {
      if (length > 0) keep(at, length);
    };
    for (std::size_t i = 0; i < toClean.count; ++i) {
      const Stretch& stretch = toClean.stretches[i];
      part(done, stretch.at - done);
      part(stretch.at, toClean.cleaner->Clean(bytes + stretch.at, stretch.size));
      done = stretch.at + stretch.size;
    }
    part(done, size - done);
  }

  /// Queues the buffer Free gave, holding `size` bytes, to be appended to `fd` after every
  /// buffer handed over before; its stretches `toClean` are cleaned first. The caller leaves
  /// the buffer alone from now on, and keeps the cleaner until Settle.
  /// Example: "ab\r\n\r\ncd|x" with the stretch {0, 8} writes "ab\r\ncd|x".
  void Hand(int fd, const char* buffer, std::size_t size, ToClean toClean);
  void Hand(int fd, const char* buffer, std::size_t size);

  /// As Hand, and then the thread closes `fd`: the file is the caller's no more. `name` is
  /// what a failure of this file (a write or the close) is reported under.
  void HandClose(int fd, const char* buffer, std::size_t size, std::string name, ToClean toClean);
  void HandClose(int fd, const char* buffer, std::size_t size, std::string name);

  /// Waits until everything handed over is written (or passed over after a failure); the
  /// errno of the first failure since the last Settle, else 0. The failure is forgotten, so
  /// the next file starts clean. `failedName`, when given, receives the name of the file
  /// closed behind that failed, or is emptied when the failure is in a file not yet closed.
  int Settle(std::string* failedName = nullptr);

  /// A write has failed since the last Settle; seen without waiting, so it may come a few
  /// buffers after the failure itself.
  bool Failed() const { return m_nError.load(std::memory_order_relaxed) != 0; }

 private:
  struct Slot {
    std::unique_ptr<char[]> bytes;
    int fd = -1;
    std::size_t size = 0;
    bool close = false;  ///< the file is closed after this buffer
    std::string name;    ///< of the file closed, for its failure
    const RunCleaner* cleaner = nullptr;
    std::size_t stretches = 0;  ///< how many of `toClean` hold a stretch
    Stretch toClean[kMostStretches];
  };
  void Queue(int fd, const char* buffer, std::size_t size, bool close, std::string name,
             ToClean toClean);
  void Work();
  /// Writes the slot's buffer, its stretches cleaned: 0 or the errno of the failed write.
  static int WriteCleaned(Slot& slot);
  Slot& SlotOf(std::uint64_t count) { return m_slots[count % m_nSlots]; }

  std::size_t m_nBytes;
  std::size_t m_nSlots;
  std::unique_ptr<Slot[]> m_slots;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_queued;   ///< the writer waits here for a buffer
  std::condition_variable m_written;  ///< the caller waits here for a buffer written
  std::uint64_t m_nHanded = 0;        ///< buffers handed over so far; under the lock
  std::uint64_t m_nWritten = 0;       ///< buffers written (or passed over) so far; under the lock
  bool m_bQuit = false;
  std::atomic<int> m_nError{0};
  std::string m_failedName;  ///< of the first file closed after the failure; under the lock
};

}  // namespace sekato::engine
