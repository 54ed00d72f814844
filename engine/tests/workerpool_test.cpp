#include "sekato/workerpool.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace sekato::engine {
namespace {

cpu_set_t Allowed() {
  cpu_set_t set;
  CPU_ZERO(&set);
  EXPECT_EQ(::sched_getaffinity(0, sizeof set, &set), 0);
  return set;
}

// Every job runs at once (each waits for all the others), each alone on a processor of its
// own while there are enough, and the caller gets its processors back.
TEST(WorkerPool, RunsEveryJobAtOnceOnProcessorsOfTheirOwnWhileThereAreEnough) {
  const cpu_set_t before = Allowed();
  const unsigned processors = static_cast<unsigned>(CPU_COUNT(&before));
  for (const unsigned jobs : {1u, 2u, 3u, processors, processors + 1}) {
    SCOPED_TRACE(jobs);
    std::atomic<unsigned> arrived{0};
    std::atomic<bool> together{true};
    std::mutex lock;
    std::multiset<int> pinnedTo;
    unsigned unpinned = 0;
    WorkerPool::Run(jobs, [&] {
      const cpu_set_t mine = Allowed();
      {
        const std::lock_guard guard(lock);
        if (CPU_COUNT(&mine) == 1) {
          for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &mine)) pinnedTo.insert(cpu);
          }
        } else {
          ++unpinned;
        }
      }
      ++arrived;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (arrived.load() < jobs && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
      }
      if (arrived.load() < jobs) together = false;
    });
    EXPECT_EQ(arrived.load(), jobs);
    EXPECT_TRUE(together.load());
    if (jobs > 1 && jobs <= processors) {
      EXPECT_EQ(pinnedTo.size(), jobs);
      EXPECT_EQ(std::set<int>(pinnedTo.begin(), pinnedTo.end()).size(), jobs);
    } else if (processors > 1) {
      EXPECT_EQ(unpinned, jobs);
    }
    const cpu_set_t after = Allowed();
    EXPECT_TRUE(CPU_EQUAL(&before, &after));
  }
}

}  // namespace
}  // namespace sekato::engine
