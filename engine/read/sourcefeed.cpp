#include "sourcefeed.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "blockreader.h"
#include "sourcedecoder.h"

namespace sekato::engine {

SourceFeed::SourceFeed() = default;

SourceFeed::~SourceFeed() { Close(); }

bool SourceFeed::Open(const std::string& path, std::size_t bufferBytes, Window& window,
                      std::string& error) {
  Close();
  if (!m_file.Open(path, error)) return false;
  m_nLargestBuffer = 0;
  window = {};
  UseOwn(window, bufferBytes);
  return true;
}

void SourceFeed::Close() {
  m_nHeld = 0;
  m_pAhead.reset();  // before the file it reads is closed
  m_bAheadDone = false;
  m_nAheadError = 0;
  m_nFirstInvalid = -1;
  m_bStarted = false;
  m_file.Close();
  std::vector<char>().swap(m_own);
}

void SourceFeed::SetDecoder(SourceDecoder* decoder) {
  m_pDecoder = decoder;
  m_bConverting = decoder != nullptr && decoder->Converts();
}

std::int64_t SourceFeed::FirstInvalid() const {
  if (m_pAhead) return m_nFirstInvalid;
  return m_pDecoder ? m_pDecoder->FirstInvalid() : -1;
}

std::string SourceFeed::Reason(int error) const {
  return m_pDecoder && !m_pDecoder->Error().empty() ? m_pDecoder->Error() : std::strerror(error);
}

void SourceFeed::UseOwn(Window& window, std::size_t size) {
  if (m_own.size() < size) m_own.resize(size);
  window.data = m_own.data();
  window.capacity = m_own.size();
  m_nLargestBuffer = std::max(m_nLargestBuffer, window.capacity);
}

void SourceFeed::Release(std::size_t keep) {
  for (; m_nHeld > keep; --m_nHeld) m_pAhead->Release();
}

void SourceFeed::MakeRoom(Window& window) {
  // Keep the unfinished line, moved to the front; grow only when it fills the buffer.
  const std::size_t kept = window.end - window.begin;
  if (window.begin > 0) {
    std::memmove(window.data, window.data + window.begin, kept);
    window.begin = 0;
    window.end = kept;
  }
  // A decoder writes whole characters: it needs room for at least a few.
  constexpr std::size_t kDecoderRoom = 16;
  if (window.end == window.capacity ||
      (m_pDecoder && window.capacity - window.end < kDecoderRoom)) {
    UseOwn(window, window.capacity * 2);
  }
}

ssize_t SourceFeed::ReadStraight(char* data, std::size_t size, std::string& error) {
  m_bStarted = true;
  const ssize_t got = m_pDecoder ? m_pDecoder->Read(m_file, data, size) : m_file.Read(data, size);
  if (got < 0) error = Reason(errno);
  return got;
}

SourceFeed::Got SourceFeed::Refill(Window& window, bool mayReadAhead, std::string& error) {
  if (!m_pAhead && !m_bStarted && mayReadAhead && m_nReadAheadFrom >= 0 && !m_bConverting &&
      m_file.Length() >= m_nReadAheadFrom) {
    // Each block comes with room before it for the unfinished line of the block before.
    const std::size_t room = m_nAheadChunk / 4;
    m_nLargestBuffer = std::max(m_nLargestBuffer, room + m_nAheadChunk);
    // From here on the decoder is the reading thread's alone.
    BlockReader::Stream stream{[this](char* out, std::size_t capacity) {
                                 return m_pDecoder ? m_pDecoder->Read(m_file, out, capacity)
                                                   : m_file.Read(out, capacity);
                               },
                               [this] { return m_pDecoder ? m_pDecoder->FirstInvalid() : -1; }};
    m_pAhead =
        std::make_unique<BlockReader>(std::move(stream), m_nAheadChunk, room, 1, m_nAheadBlocks);
  }
  if (m_pAhead) return RefillAhead(window, error);
  MakeRoom(window);
  const ssize_t got = ReadStraight(window.data + window.end, window.capacity - window.end, error);
  if (got < 0) return Got::Failed;
  if (got == 0) return Got::End;
  window.end += static_cast<std::size_t>(got);
  return Got::Bytes;
}

SourceFeed::Got SourceFeed::RefillAhead(Window& window, std::string& error) {
  if (m_bAheadDone) {
    if (m_nAheadError == 0) return Got::End;
    // No more is read after a failure: the decoder is the caller's again.
    error = Reason(m_nAheadError);
    return Got::Failed;
  }
  // The unfinished line moves to the front of the own buffer, and the block it lay in goes
  // back, so that only the block being read from is held and two take turns in the cache.
  const std::size_t kept = window.end - window.begin;
  if (window.data != m_own.data()) {
    if (m_own.size() < kept) m_own.resize(kept);
    std::memcpy(m_own.data(), window.data + window.begin, kept);
    UseOwn(window, 0);
  } else {
    std::memmove(m_own.data(), window.data + window.begin, kept);
  }
  window.begin = 0;
  window.end = kept;
  Release(0);
  BlockReader::Block block;
  int failure = 0;
  const bool read = m_pAhead->Next(block, failure);
  ++m_nHeld;
  m_nFirstInvalid = block.note;
  m_bAheadDone = block.last;
  m_nAheadError = read ? 0 : failure;
  // Nothing in it: the end, or a failure.
  if (block.size == 0) return RefillAhead(window, error);
  const std::size_t room = m_nAheadChunk / 4;
  if (kept <= room) {
    // The unfinished line goes into the room before the block, which is read from there.
    std::memcpy(block.buffer + room - kept, m_own.data(), kept);
    window = {block.buffer, room - kept, room + block.size, room + m_nAheadChunk};
    return Got::Bytes;
  }
  // A long unfinished line stays in the own buffer, the block after it.
  const std::size_t need = kept + block.size;
  if (m_own.size() < need) UseOwn(window, std::max(m_own.size() * 2, need));
  std::memcpy(m_own.data() + kept, block.buffer + room, block.size);
  Release(0);
  window.end = need;
  return Got::Bytes;
}

}  // namespace sekato::engine
