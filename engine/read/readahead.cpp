#include "readahead.h"

#include <cerrno>
#include <utility>

#include "fileops.h"

namespace sekato::engine {

ReadAhead::ReadAhead(ReadFunction read, InvalidFunction firstInvalid, std::size_t headroom,
                     std::size_t bufferBytes)
    : m_read(std::move(read)),
      m_firstInvalid(std::move(firstInvalid)),
      m_nHeadroom(headroom),
      m_ready(bufferBytes),
      m_thread(&ReadAhead::Run, this) {}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bQuit = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

ReadAhead::Chunk ReadAhead::Wait() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_bReading; });
  return m_chunk;
}

void ReadAhead::Exchange(std::vector<char>& buffer) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    // The buffer given back may have grown for a long line: read into the same span anyway.
    m_ready.swap(buffer);
    if (m_bDone) return;
    m_bReading = true;
  }
  m_changed.notify_all();
}

void ReadAhead::Again() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bDone) return;
    m_bReading = true;
  }
  m_changed.notify_all();
}

void ReadAhead::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (true) {
    m_changed.wait(lock, [this] { return m_bQuit || m_bReading; });
    if (m_bQuit) return;
    // The buffer is the thread's alone until the read is handed over.
    char* const out = m_ready.data() + m_nHeadroom;
    const std::size_t capacity = m_ready.size() - m_nHeadroom;
    lock.unlock();
    Chunk chunk;
    chunk.got = FileOps::Retrying([&] { return m_read(out, capacity); });
    chunk.error = chunk.got < 0 ? errno : 0;
    chunk.firstInvalid = m_firstInvalid ? m_firstInvalid() : -1;
    lock.lock();
    m_chunk = chunk;
    m_bDone = chunk.got <= 0;
    m_bReading = false;
    m_changed.notify_all();
  }
}

}  // namespace sekato::engine
