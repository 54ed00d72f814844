#include "writebehind.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "fileops.h"

namespace sekato::engine {

WriteBehind::WriteBehind(std::size_t bytes, std::size_t buffers)
    : m_nBytes(bytes),
      m_nSlots(std::max<std::size_t>(buffers, 2)),
      m_slots(std::make_unique<Slot[]>(m_nSlots)) {
  for (std::size_t i = 0; i < m_nSlots; ++i) m_slots[i].bytes.reset(new char[m_nBytes]);
}

WriteBehind::~WriteBehind() {
  if (!m_thread.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bQuit = true;
  }
  m_queued.notify_one();
  m_thread.join();
}

bool WriteBehind::Start() {
  if (m_thread.joinable()) return true;
  try {
    m_thread = std::thread(&WriteBehind::Work, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

char* WriteBehind::Free() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_written.wait(lock, [this] { return m_nHanded - m_nWritten < m_nSlots; });
  return SlotOf(m_nHanded).bytes.get();
}

void WriteBehind::Hand(int fd, const char* buffer, std::size_t size, ToClean toClean) {
  Queue(fd, buffer, size, false, {}, toClean);
}

void WriteBehind::Hand(int fd, const char* buffer, std::size_t size) {
  Queue(fd, buffer, size, false, {}, ToClean{});
}

void WriteBehind::HandClose(int fd, const char* buffer, std::size_t size, std::string name) {
  Queue(fd, buffer, size, true, std::move(name), ToClean{});
}

void WriteBehind::HandClose(int fd, const char* buffer, std::size_t size, std::string name,
                            ToClean toClean) {
  Queue(fd, buffer, size, true, std::move(name), toClean);
}

void WriteBehind::Queue(int fd, const char* buffer, std::size_t size, bool close, std::string name,
                        ToClean toClean) {
  if (toClean.count > kMostStretches) std::terminate();
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    Slot& slot = SlotOf(m_nHanded);
    // Only the buffer Free gave may come back: anything else would be written out of turn.
    if (slot.bytes.get() != buffer) std::terminate();
    slot.fd = fd;
    slot.size = size;
    slot.close = close;
    slot.name = std::move(name);
    slot.cleaner = toClean.cleaner;
    slot.stretches = toClean.cleaner != nullptr ? toClean.count : 0;
    std::copy(toClean.stretches, toClean.stretches + slot.stretches, slot.toClean);
    ++m_nHanded;
  }
  m_queued.notify_one();
}

int WriteBehind::Settle(std::string* failedName) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_written.wait(lock, [this] { return m_nWritten == m_nHanded; });
  if (failedName) *failedName = m_failedName;
  m_failedName.clear();
  return m_nError.exchange(0, std::memory_order_relaxed);
}

void WriteBehind::Work() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (true) {
    // Whatever is queued is written before the thread ends.
    m_queued.wait(lock, [this] { return m_bQuit || m_nWritten != m_nHanded; });
    if (m_nWritten == m_nHanded) return;
    Slot& slot = SlotOf(m_nWritten);
    lock.unlock();
    if (m_nError.load(std::memory_order_relaxed) == 0 && slot.size > 0) {
      const int error = slot.stretches > 0
                            ? WriteCleaned(slot)
                            : FileOps::WriteAll(slot.fd, slot.bytes.get(), slot.size);
      if (error != 0) m_nError.store(error, std::memory_order_relaxed);
    }
    // A file closed behind is closed whatever happened to it, so no descriptor is left open.
    if (slot.close && ::close(slot.fd) != 0 && m_nError.load(std::memory_order_relaxed) == 0) {
      m_nError.store(errno, std::memory_order_relaxed);
    }
    lock.lock();
    // Buffers are written in order: the first file closed after a failure is the one that
    // failed, as every buffer after it is passed over.
    if (slot.close && m_failedName.empty() && m_nError.load(std::memory_order_relaxed) != 0) {
      m_failedName = std::move(slot.name);
    }
    slot.close = false;
    ++m_nWritten;
    // The caller may be waiting for a buffer, or for all of them.
    m_written.notify_one();
  }
}

int WriteBehind::WriteCleaned(Slot& slot) {
  // One write of many parts, so that nothing moves to close the gaps.
  iovec parts[2 * kMostStretches + 1];
  int count = 0;
  char* const bytes = slot.bytes.get();
  CleanStretches(bytes, slot.size, {slot.cleaner, slot.toClean, slot.stretches},
                 [&](std::size_t at, std::size_t length) {
                   parts[count++] = {bytes + at, length};
                 });
  slot.stretches = 0;
  return count == 0 ? 0 : FileOps::WriteAllParts(slot.fd, parts, count);
}

}  // namespace sekato::engine
