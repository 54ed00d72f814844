#include "heldsplitpass.h"

#include <algorithm>
#include <string_view>

#include "piecewriter.h"

namespace sekato::engine {

HeldSplitPass::HeldSplitPass(const ChapterList& list, PieceWriter& writer, SplitHost& host,
                             const Settings& settings)
    : m_list(list), m_writer(writer), m_host(host), m_settings(settings) {
  if (m_settings.named) {
    m_writer.Claim(true);
  } else {
    m_writer.Hold(true);
  }
  if ((m_settings.most == 0 && !m_settings.named) || m_settings.perFile < 1) {
    m_state = State::Watching;
  }
}

bool HeldSplitPass::Take(const Chunk& chunk) {
  const std::int64_t from = m_nRead;
  m_nRead += static_cast<std::int64_t>(chunk.size);
  if (from >= m_nLookAt) {
    m_nLookAt = from + kStepBytes;
    // Progress is the pieces': it stays where they stopped being written, and the copies
    // after the check go on from there.
    if (m_state == State::Writing) m_nShown = from;
    if (!m_host.Progress(m_nShown, m_settings.length)) {
      Drop();
      m_state = State::Stopped;
      return false;
    }
  }
  if (m_state != State::Writing) return true;
  // Bytes that would change on their way into the pieces: the line by line pass writes them.
  if (chunk.changes) {
    GiveUp();
    return true;
  }
  if (!Write(chunk, from)) GiveUp();
  // The chunk's memory is the reading's again once this returns.
  m_writer.SendInPlace();
  return true;
}

bool HeldSplitPass::Write(const Chunk& chunk, std::int64_t from) {
  const char* const data = chunk.data;
  const std::int64_t to = from + static_cast<std::int64_t>(chunk.size);
  if (!m_bOpened) {
    if (!m_writer.OpenFirst()) return false;
    // After head text the first line has a break before it, as every later line has.
    if (m_writer.Count() > 0) m_writer.WriteBreak();
    m_bOpened = true;
  }
  const auto perFile = static_cast<std::size_t>(m_settings.perFile);
  std::int64_t at = from;
  while (true) {
    // The next piece starts at the listed line that opens it, once the scan has found it.
    const std::size_t next = (m_nOpen + 1) * perFile;
    if (next >= chunk.known || chunk.starts[next] > to) break;
    const std::int64_t cut = std::max(chunk.starts[next], at);
    m_writer.WriteLineInPlace(
        std::string_view(data + (at - from), static_cast<std::size_t>(cut - at)));
    at = cut;
    if (!ClosePiece(m_nOpen)) return false;
    if (!m_settings.named && m_writer.HeldCount() >= m_settings.most) {
      m_state = State::Full;
      m_nShown = cut;
      ++m_nOpen;
      return true;
    }
    if (!m_writer.OpenNext()) return false;
    ++m_nOpen;
  }
  m_writer.WriteLineInPlace(
      std::string_view(data + (at - from), static_cast<std::size_t>(to - at)));
  return !m_writer.WriteFailed();
}

bool HeldSplitPass::ClosePiece(std::size_t piece) {
  if (!m_writer.Close(true)) return false;
  if (m_settings.titleNames) {
    const std::size_t entry = piece * static_cast<std::size_t>(m_settings.perFile);
    if (entry < m_list.entries.size()) {
      m_writer.RenameToTitle(m_writer.Sequence(), m_list.entries[entry].title, Encoding::Utf8);
    }
  }
  return true;
}

std::optional<std::size_t> HeldSplitPass::Finish(const std::vector<RangeSplitPass::Piece>& pieces,
                                                 std::int64_t end) {
  if (m_state == State::Writing) {
    // Everything was read into the last piece: it gives back what lies past the text.
    m_writer.TakeBack(m_nRead - end);
    if (!ClosePiece(m_nOpen)) {
      // The check passed: claimed pieces are the run's to keep, as any written before a
      // failure are.
      if (m_settings.named) m_writer.Publish();
      return std::nullopt;
    }
    m_nOpen = pieces.size();
  }
  if (!m_writer.Publish()) return std::nullopt;
  return std::min(m_nOpen, pieces.size());
}

void HeldSplitPass::GiveUp() {
  Drop();
  m_state = State::Watching;
}

void HeldSplitPass::Drop() { m_writer.DropHeld(); }

}  // namespace sekato::engine
