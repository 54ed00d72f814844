#pragma once

#include <functional>

namespace sekato::engine {

/// Runs `work` on `jobs` threads at once — the calling thread and `jobs` − 1 others — and
/// returns when every one of them has returned. `work` decides itself what to take next
/// (a batch hands out sources through an atomic counter), so a thread that runs slower just
/// takes fewer.
///
/// When the process may use at least `jobs` processors, each thread is kept on one of its
/// own for the whole run, the caller on the one it is on. Left to itself, Linux starts a new
/// thread on its parent's processor and, each time one thread wakes the other (both waiting
/// on the memory map while buffers are set up), moves the woken one back beside it: for a
/// batch of short books the two then share one processor for much of the run while the other
/// idles. The caller's own processor set is given back before this returns. With more jobs
/// than processors nothing is pinned. A thread the system refuses just means fewer at once.
class WorkerPool final {
 public:
  static void Run(unsigned jobs, const std::function<void()>& work);
  /// The processors this process may use, as `nproc` counts them (at least 1): in a
  /// container given 2 of 64, that is 2.
  static unsigned Processors();
};

}  // namespace sekato::engine
