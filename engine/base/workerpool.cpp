#include "sekato/workerpool.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <vector>

namespace sekato::engine {

namespace {
extern "C" void* RunWorker(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return nullptr;
}

cpu_set_t Only(int cpu) {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  return set;
}

// One processor for each of `jobs` threads, the caller's first; empty when the process may
// use fewer processors than that.
std::vector<int> OnePerThread(unsigned jobs, const cpu_set_t& allowed) {
  const int own = ::sched_getcpu();
  if (own < 0 || own >= CPU_SETSIZE || !CPU_ISSET(own, &allowed)) return {};
  std::vector<int> cpus{own};
  for (int cpu = 0; cpu < CPU_SETSIZE && cpus.size() < jobs; ++cpu) {
    if (cpu != own && CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);
  }
  if (cpus.size() < jobs) cpus.clear();
  return cpus;
}

// Starts a thread running `work`, on `cpu` alone when it is not negative.
bool Start(pthread_t& thread, const std::function<void()>& work, int cpu) {
  pthread_attr_t attr;
  if (::pthread_attr_init(&attr) != 0) return false;
  if (cpu >= 0) {
    const cpu_set_t one = Only(cpu);
    ::pthread_attr_setaffinity_np(&attr, sizeof one, &one);
  }
  // RunWorker only reads `work`, which outlives every thread: they are joined before it goes.
  const bool made =
      ::pthread_create(&thread, &attr, RunWorker, const_cast<std::function<void()>*>(&work)) == 0;
  ::pthread_attr_destroy(&attr);
  return made;
}
}  // namespace

unsigned WorkerPool::Processors() {
  cpu_set_t allowed;
  if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 1;
  return static_cast<unsigned>(std::max(1, CPU_COUNT(&allowed)));
}

void WorkerPool::Run(unsigned jobs, const std::function<void()>& work) {
  cpu_set_t allowed;
  std::vector<int> cpus;
  if (jobs > 1 && ::sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
    cpus = OnePerThread(jobs, allowed);
  }
  std::vector<pthread_t> workers;
  for (unsigned w = 1; w < jobs; ++w) {
    pthread_t thread;
    // Where the system refuses to pin (a sandbox may), the thread goes unpinned.
    const int cpu = cpus.empty() ? -1 : cpus[w];
    if (!Start(thread, work, cpu) && (cpu < 0 || !Start(thread, work, -1))) break;
    workers.push_back(thread);
  }
  bool pinned = false;
  if (!cpus.empty()) {
    const cpu_set_t one = Only(cpus[0]);
    pinned = ::sched_setaffinity(0, sizeof one, &one) == 0;
  }
  work();
  if (pinned) ::sched_setaffinity(0, sizeof allowed, &allowed);
  for (const pthread_t thread : workers) ::pthread_join(thread, nullptr);
}

}  // namespace sekato::engine
