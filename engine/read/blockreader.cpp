#include "blockreader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace sekato::engine {

namespace {
// Two blocks held by the caller, and one in flight for each reader with one to spare.
constexpr std::size_t kSlots = 6;
// A stream's one reader, unless told otherwise: one block held and one in flight, as the
// caller gives the block before back ahead of taking the next.
constexpr std::size_t kStreamSlots = 2;
}  // namespace

BlockReader::BlockReader(const ByteSource& source, std::int64_t start, std::size_t blockBytes,
                         std::size_t room, std::vector<PairScanner::Pair> pairs, unsigned readers)
    : m_pSource(&source),
      m_nStart(start),
      m_nBlock(blockBytes),
      m_nRoom(room),
      m_nReaders(readers),
      m_slots(kSlots),
      m_pairs(std::move(pairs)) {
  Start(readers);
}

BlockReader::BlockReader(Stream stream, std::size_t blockBytes, std::size_t room, unsigned readers,
                         std::size_t blocks)
    : m_stream(std::move(stream)),
      m_nStart(0),
      m_nBlock(blockBytes),
      m_nRoom(room),
      m_nReaders(std::min(readers, 1u)),
      m_slots(std::max(blocks, kStreamSlots)) {
  Start(std::min(readers, 1u));
}

void BlockReader::Start(unsigned readers) {
  for (std::size_t i = 0; i < m_slots.size(); ++i) {
    m_slots[i].bytes.reset(new char[m_nRoom + m_nBlock]);
    m_slots[i].next = static_cast<std::int64_t>(i);
  }
  m_freed = std::make_unique<std::condition_variable[]>(std::max(readers, 1u));
  try {
    for (unsigned i = 0; i < readers; ++i) m_threads.emplace_back(&BlockReader::Work, this, i);
  } catch (const std::system_error&) {
    // No thread to be had: the threads started stop, and the caller reads for itself.
    StopReaders();
    m_threads.clear();
    m_bStop = false;
  }
}

BlockReader::~BlockReader() { StopReaders(); }

void BlockReader::StopReaders() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
  }
  for (std::size_t i = 0; i < m_threads.size(); ++i) m_freed[i].notify_one();
  for (auto& thread : m_threads) {
    if (thread.joinable()) thread.join();
  }
}

unsigned BlockReader::Readers() { return std::thread::hardware_concurrency() >= 2 ? 2 : 0; }

void BlockReader::SetPairs(const std::vector<PairScanner::Pair>& pairs) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_pairs = pairs;
}

void BlockReader::ReadStream(Slot& slot) const {
  char* const to = slot.bytes.get() + m_nRoom;
  constexpr std::size_t kLeast = 16;  // the stream writes whole characters
  slot.size = 0;
  slot.error = 0;
  slot.last = false;
  while (m_nBlock - slot.size >= kLeast) {
    errno = 0;
    const ssize_t got = m_stream.read(to + slot.size, m_nBlock - slot.size);
    if (got <= 0) {
      slot.error = got < 0 ? (errno != 0 ? errno : EIO) : 0;
      slot.last = true;
      break;
    }
    slot.size += static_cast<std::size_t>(got);
  }
  slot.note = m_stream.note ? m_stream.note() : -1;
}

void BlockReader::Read(std::int64_t index, Slot& slot,
                       const std::vector<PairScanner::Pair>& pairs) const {
  slot.hits.clear();
  slot.feeds = 0;
  if (m_pSource == nullptr) {
    ReadStream(slot);
    return;
  }
  char* const to = slot.bytes.get() + m_nRoom;
  const std::int64_t offset = m_nStart + index * static_cast<std::int64_t>(m_nBlock);
  int error = 0;
  const std::size_t got = m_pSource->ReadFullyAt(to, m_nBlock, offset, error);
  slot.size = got;
  slot.error = error;
  slot.last = error != 0 || got < m_nBlock;
  if (pairs.empty()) return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(to);
  Hit line;  // the bounds of the line of the last hit
  bool bounded = false;
  for (std::size_t from = 0; from < got;) {
    const std::size_t at =
        PairScanner::FindAnyCountingLines(bytes, from, got, pairs.data(), pairs.size(), slot.feeds);
    if (at == PairScanner::npos) break;
    // A hit before the end of the last hit's line is in that line.
    if (!bounded || (line.lineEnd != npos && at > line.lineEnd)) {
      const void* before = ::memrchr(to, '\n', at);
      line.lineStart =
          before ? static_cast<std::size_t>(static_cast<const char*>(before) - to) + 1 : npos;
      const void* after = std::memchr(to + at, '\n', got - at);
      line.lineEnd = after ? static_cast<std::size_t>(static_cast<const char*>(after) - to) : npos;
      bounded = true;
    }
    slot.hits.push_back({at, slot.feeds, line.lineStart, line.lineEnd});
    // The byte at a pair is no line feed: the pairs are never asked to hold one.
    from = at + 1;
  }
}

void BlockReader::Work(unsigned first) {
  std::vector<PairScanner::Pair> pairs;
  for (auto index = static_cast<std::int64_t>(first);; index += m_nReaders) {
    Slot& slot = SlotOf(index);
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_freed[first].wait(lock, [&] { return m_bStop || slot.next == index; });
      if (m_bStop) return;
      pairs = m_pairs;
    }
    Read(index, slot, pairs);
    // Nothing after the last block is wanted.
    const bool last = slot.last;
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      slot.block = index;
    }
    m_ready.notify_one();  // only the caller waits for blocks
    if (last) return;
  }
}

bool BlockReader::Next(Block& block, int& error) {
  const std::int64_t index = m_nNext++;
  Slot& slot = SlotOf(index);
  if (m_threads.empty()) {
    Read(index, slot, m_pairs);
  } else {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait(lock, [&] { return slot.block == index; });
  }
  block.buffer = slot.bytes.get();
  block.size = slot.size;
  block.hits = &slot.hits;
  block.feeds = slot.feeds;
  block.last = slot.last;
  block.note = slot.note;
  error = slot.error;
  return error == 0;
}

void BlockReader::Release() {
  Slot& slot = SlotOf(m_nOldest);
  std::int64_t next = 0;
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    slot.block = -1;
    next = slot.next = m_nOldest + static_cast<std::int64_t>(m_slots.size());
    ++m_nOldest;
  }
  // The slot's next block is the one reader's that reads every m_nReaders-th block.
  if (!m_threads.empty()) m_freed[static_cast<std::size_t>(next % m_nReaders)].notify_one();
}

}  // namespace sekato::engine
