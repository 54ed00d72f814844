#include "rangesplitpass.h"

#include <algorithm>

#include "bytesource.h"
#include "piecewriter.h"

namespace sekato::engine {

RangeSplitPass::RangeSplitPass(const ByteSource& source, PieceWriter& writer, SplitHost& host,
                               const Settings& settings)
    : m_source(source), m_writer(writer), m_host(host), m_settings(settings) {}

std::optional<std::vector<RangeSplitPass::Piece>> RangeSplitPass::PiecesFor(
    const ChapterList& list, const SourceFingerprint::Layout& layout, std::int64_t perFile,
    bool titleNames) {
  const auto& entries = list.entries;
  if (layout.bareFeeds || layout.invalid || layout.emptyListed || layout.firstLineEmpty ||
      entries.empty() || layout.starts.size() != entries.size() || perFile < 1) {
    return std::nullopt;
  }
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < entries.size(); i += static_cast<std::size_t>(perFile)) {
    const std::string* title = nullptr;
    if (titleNames) {
      if (entries[i].title.empty()) return std::nullopt;
      title = &entries[i].title;
    }
    // The first piece holds the text before the first chapter too.
    pieces.push_back({i == 0 ? 0 : layout.starts[i], title});
  }
  return pieces;
}

SplitEnd RangeSplitPass::Run(const std::vector<Piece>& pieces, std::int64_t end,
                             std::size_t first) {
  const std::int64_t length = m_source.Length();
  if (first >= pieces.size()) return Completed();
  if (!(first == 0 ? m_writer.OpenFirst() : m_writer.OpenNext())) {
    return Fail(m_writer.ErrorMessage());
  }
  // After head text the first line has a break before it, as every later line has.
  if (first == 0 && m_writer.Count() > 0) m_writer.WriteBreak();
  std::size_t open = first;  // the piece being written
  for (; open < pieces.size(); ++open) {
    if (open > first) {
      if (!ClosePiece(pieces[open - 1])) return Fail(m_writer.ErrorMessage());
      if (!m_writer.OpenNext()) return Fail(m_writer.ErrorMessage());
    }
    const std::int64_t from = pieces[open].start;
    const std::int64_t to = open + 1 < pieces.size() ? pieces[open + 1].start : end;
    if (Copy(from, std::max(to, from))) continue;
    if (m_bStopped) return Stopped();
    if (!m_bShort) {
      // The write failed: closing the piece turns it into the message.
      m_writer.Close(false);
      return Fail(m_writer.ErrorMessage());
    }
    break;
  }
  if (!ClosePiece(pieces[std::min(open, pieces.size() - 1)])) {
    return Fail(m_writer.ErrorMessage());
  }
  // Another program cut the source short meanwhile: what was there is split, but the run
  // did not split the book.
  if (m_bShort) {
    return {SplitOutcome::Failed,
            {MessageId::SourceShrank,
             {std::string(m_settings.sourcePath), std::to_string(length),
              std::to_string(m_nReached)}},
            {}};
  }
  return Completed();
}

SplitEnd RangeSplitPass::Completed() {
  const std::int64_t length = m_source.Length();
  m_host.Progress(length, length);
  return {SplitOutcome::Completed,
          {MessageId::Completed},
          {m_writer.Created(), std::string(m_settings.directory), m_settings.headings, false,
           m_writer.Path(), m_writer.Folders()}};
}

bool RangeSplitPass::Copy(std::int64_t from, std::int64_t to) {
  std::int64_t at = from;
  do {
    if (!m_host.Progress(at, m_source.Length())) {
      m_bStopped = true;
      return false;
    }
    if (at >= to) break;
    const std::int64_t step = std::min(to - at, kStepBytes);
    const std::int64_t copied = m_writer.WriteRange(m_source.Descriptor(), at, step);
    at += copied;
    m_nReached = at;
    if (m_writer.WriteFailed()) return false;
    if (copied < step) {
      m_bShort = true;
      return false;
    }
  } while (at < to);
  return true;
}

bool RangeSplitPass::ClosePiece(const Piece& piece) {
  if (!m_writer.Close(true)) return false;
  if (piece.title != nullptr) {
    m_writer.RenameToTitle(m_writer.Sequence(), *piece.title, piece.encoding);
  }
  return true;
}

// As SplitPass ends a run that fails: the pieces written so far stay, but for one that
// holds nothing of the book yet.
SplitEnd RangeSplitPass::Fail(const Message& message) {
  if (!m_writer.HoldsText()) {
    m_writer.Discard();
    return {SplitOutcome::Failed, message, KeptTally()};
  }
  m_writer.Close(false);
  return {SplitOutcome::Failed, message, KeptTally()};
}

SplitEnd RangeSplitPass::Stopped() {
  if (!m_writer.Close(false)) return {SplitOutcome::Failed, m_writer.ErrorMessage(), KeptTally()};
  return {SplitOutcome::Stopped, {MessageId::Stopped}, KeptTally()};
}

RunTally RangeSplitPass::KeptTally() const {
  RunTally kept;
  kept.pieces = m_writer.Created();
  kept.directory = std::string(m_settings.directory);
  return kept;
}

}  // namespace sekato::engine
