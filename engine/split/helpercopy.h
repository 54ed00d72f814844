#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace sekato::engine {

/// A copy of a byte range between two files made on a thread of its own, at offsets of its
/// own, while the caller copies another range: a long piece's bytes then take the time of
/// half a copy on two cores. The kernel moves the bytes through a pipe (splice), or, where
/// it cannot, they are read and written.
///
/// Example: Start(in, 0, out, 100, 1 << 20) copies the first MiB of `in` to offset 100 of
/// `out`, without moving either file's position; Wait then gives 1 << 20.
class HelperCopy final {
 public:
  HelperCopy() = default;
  ~HelperCopy();
  HelperCopy(const HelperCopy&) = delete;
  HelperCopy& operator=(const HelperCopy&) = delete;

  /// Starts copying [from, from + size) of `in` to `out` at `at`. One copy at a time: Wait
  /// for it before the next.
  void Start(int in, std::int64_t from, int out, std::int64_t at, std::int64_t size);
  /// Waits for the copy: the bytes copied (fewer when `in` ended first), with `error` the
  /// errno of a failure, else 0.
  std::int64_t Wait(int& error);

 private:
  void Work();
  /// The copy itself, on the helper's thread.
  std::int64_t Copy(int& error);
  std::int64_t Spliced(int& error);
  std::int64_t ReadAndWritten(std::int64_t done, int& error);

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread m_thread;
  bool m_bPending = false;  ///< a copy was asked for and not finished
  bool m_bQuit = false;
  int m_in = -1;
  int m_out = -1;
  std::int64_t m_nFrom = 0;
  std::int64_t m_nAt = 0;
  std::int64_t m_nSize = 0;
  std::int64_t m_nDone = 0;
  int m_nError = 0;
  int m_pipe[2] = {-1, -1};
  bool m_bNoSplice = false;
};

}  // namespace sekato::engine
