#include "sekato/orderedbatches.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "sekato/workerpool.h"

namespace sekato::engine {

bool OrderedBatches::Run(std::size_t count, unsigned threads, const Make& make, const Use& use) {
  if (threads <= 1 || count <= 1) {
    for (std::size_t batch = 0; batch < count; ++batch) {
      make(batch, kOwnSlot, 0);
      if (!use(batch, kOwnSlot)) return false;
    }
    return true;
  }
  enum class Slot { Free, Making, Ready };
  // Guarded by `mutex`, as the counts below.
  std::vector<Slot> slots(kAhead, Slot::Free);
  std::size_t claimed = 0;  // batches given out to be made, in order
  std::size_t used = 0;     // batches used, in order
  bool stop = false;
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<unsigned> nextThread{1};
  // Makes the next batch into its slot, when that slot is free; false when it is not.
  const auto makeNext = [&](unsigned thread, std::unique_lock<std::mutex>& lock) {
    if (stop || claimed >= count || claimed >= used + kAhead) return false;
    const std::size_t batch = claimed;
    Slot& slot = slots[batch % kAhead];
    if (slot != Slot::Free) return false;  // still being made for a batch used already
    ++claimed;
    slot = Slot::Making;
    lock.unlock();
    make(batch, batch % kAhead, thread);
    lock.lock();
    // The caller may have made and used it itself meanwhile.
    slot = batch < used ? Slot::Free : Slot::Ready;
    changed.notify_all();
    return true;
  };
  bool finished = true;
  const std::thread::id caller = std::this_thread::get_id();
  const auto work = [&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (std::this_thread::get_id() != caller) {
      const unsigned thread = nextThread.fetch_add(1);
      while (!stop && claimed < count) {
        if (!makeNext(thread, lock)) changed.wait(lock);
      }
      return;
    }
    while (used < count) {
      const std::size_t due = used;
      std::size_t from = due % kAhead;
      if (due >= claimed || slots[from] != Slot::Ready) {
        // Not made yet: make the next one meanwhile. When none can be, the one due is being
        // made on a thread that may not run soon (the machine is busy): it is made here
        // again rather than waited for.
        if (makeNext(0, lock)) continue;
        if (due >= claimed) {
          ++claimed;
        }
        lock.unlock();
        make(due, kOwnSlot, 0);
        lock.lock();
        from = kOwnSlot;
      } else {
        slots[from] = Slot::Free;
      }
      lock.unlock();
      const bool goOn = use(due, from);
      lock.lock();
      ++used;
      // The other thread's copy of a batch made here too, if it came meanwhile, is not used.
      if (from == kOwnSlot && slots[due % kAhead] == Slot::Ready) slots[due % kAhead] = Slot::Free;
      if (!goOn) {
        finished = false;
        stop = true;
      }
      changed.notify_all();
      if (!goOn) return;
    }
  };
  WorkerPool::Run(threads, work);
  return finished;
}

}  // namespace sekato::engine
