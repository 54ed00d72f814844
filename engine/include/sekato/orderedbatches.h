#pragma once

#include <cstddef>
#include <functional>

namespace sekato::engine {

/// Work cut into batches that may be made on any thread but must be used in order: the
/// calling thread uses batch 0, 1, 2… as each is ready, and while the one it is due to use
/// is not, makes the next one itself, or, when none can be made ahead, the one due (again:
/// the thread making it may not run soon on a busy machine, and is not waited for). At most
/// kAhead batches are made ahead, so that what they hold does not grow with the work: batch i
/// is made into slot i % kAhead, or kOwnSlot when the caller makes the one due; the caller
/// keeps kSlots of whatever a batch is made into (buffers, strings).
///
/// Example: a chapter list of 20 000 headings written as 20 batches of 1 000 rows: the other
/// thread formats batch 5 while the caller writes batch 4.
class OrderedBatches final {
 public:
  static constexpr std::size_t kAhead = 4;
  static constexpr std::size_t kOwnSlot = kAhead;
  static constexpr std::size_t kSlots = kAhead + 1;

  /// Makes batch `batch` into slot `slot`; `thread` tells the threads apart (0: the caller's;
  /// below the `threads` given to Run), for what each keeps of its own.
  using Make = std::function<void(std::size_t batch, std::size_t slot, unsigned thread)>;
  /// Uses batch `batch` from slot `slot`, on the calling thread; false stops the run.
  using Use = std::function<bool(std::size_t batch, std::size_t slot)>;

  /// Runs `count` batches on up to `threads` threads (1: all on the caller's, made then
  /// used one by one). False when `use` said stop: no batch is made after that one.
  static bool Run(std::size_t count, unsigned threads, const Make& make, const Use& use);
};

}  // namespace sekato::engine
