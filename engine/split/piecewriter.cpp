#include "piecewriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "fileops.h"
#include "sekato/textrules.h"

namespace sekato::engine {

PieceWriter::PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode)
    : m_layout(std::move(layout)), m_untouchable{{sourceDevice, sourceInode}} {
  if (const TextRules* rules = m_layout.rules) {
    m_nBreakBytes = rules->BreakBytes();
    m_bMeasured = rules->OutputEncoding() != rules->TextEncoding();
    if (Encodings::IsUtf16(rules->OutputEncoding())) {
      m_file.ConvertToUtf16(rules->OutputEncoding() == Encoding::Utf16Be);
    }
  }
}

std::int64_t PieceWriter::MeasuredWritten(std::string_view text) const {
  return m_layout.rules->Written(text);
}

std::string PieceWriter::PiecePath(std::int64_t number) const {
  if (!m_layout.joinedName.empty()) return m_layout.directory + "/" + m_layout.joinedName;
  return m_layout.directory + "/" + m_layout.namer.SequenceName(number);
}

bool PieceWriter::Open(std::int64_t number) {
  m_nSequence = number;
  m_strPath = PiecePath(number);
  m_nCount = 0;
  m_bSkipping = m_bSkipNext;
  m_bSkipNext = false;
  m_bQuiet = m_bMuted || m_bSkipping;
  m_bBreakHeld = false;
  if (m_bSkipping) return true;
  OutFile::Refusal refusal = OutFile::Refusal::None;
  std::size_t hit = 0;
  std::string reason;
  if (m_file.Create(m_strPath, m_untouchable, refusal, hit, reason)) {
    m_file.Write(m_layout.preamble);
    ++m_nCreated;
    return true;
  }
  switch (refusal) {
    case OutFile::Refusal::Special:
      m_error = {MessageId::NotRegularPiece, {m_strPath}};
      break;
    case OutFile::Refusal::Untouchable:
      m_error = {hit == 0 ? MessageId::WouldOverwriteSource : MessageId::WouldOverwritePiece,
                 {m_strPath}};
      break;
    default:
      m_error = {MessageId::CreatePiece, {m_strPath, reason}};
      break;
  }
  return false;
}

bool PieceWriter::OpenFirst() {
  if (!Open(1)) return false;
  if (m_layout.addHead && !m_bSkipping) {
    m_file.WriteText(m_layout.head);
    m_file.Break();
    m_nCount = Written(m_layout.head) + m_nBreakBytes;
  }
  m_nOpenCount = m_nCount;
  return true;
}

bool PieceWriter::OpenNext() {
  if (!Open(m_nSequence + 1)) return false;
  if (m_layout.addHead && !m_bSkipping) {
    m_file.WriteText(m_layout.head);
    m_file.Break();
    m_file.Break();
    m_nCount = Written(m_layout.head) + 2 * m_nBreakBytes;
  }
  m_nOpenCount = m_nCount;
  return true;
}

void PieceWriter::Discard() {
  if (!m_file.IsOpen()) return;
  std::string ignored;
  m_file.Close(ignored);
  ::unlink(m_strPath.c_str());
  --m_nCreated;  // the count is of pieces on disk
}

bool PieceWriter::Close(bool withEnding) {
  if (!m_file.IsOpen()) return true;
  if (withEnding) {
    if (m_layout.addTail) {
      m_file.WriteText("\n\n");
      m_file.WriteText(m_layout.tail);
    }
    if (m_layout.addPromotion) {
      m_file.WriteText("\n\n");
      m_file.WriteText(m_layout.promotion);
    }
  }
  std::string reason;
  if (!m_file.Close(reason)) {
    m_error = {MessageId::WritePiece, {m_strPath, reason}};
    return false;
  }
  return true;
}

bool PieceWriter::RenameToTitle(std::int64_t number, std::string_view title) {
  return RenameToTitle(number, title,
                       m_layout.rules ? m_layout.rules->TextEncoding() : Encoding::Gbk);
}

bool PieceWriter::RenameToTitle(std::int64_t number, std::string_view title, Encoding encoding) {
  if (m_bSkipping && number == m_nSequence) return false;  // never written
  const auto name = m_layout.namer.TitleName(number, title, encoding);
  if (!name) return false;
  const std::string target = m_layout.directory + "/" + *name;
  if (!FileOps::RenameNoReplace(PiecePath(number), target)) return false;
  // The piece at hand keeps being named right once it has its title.
  if (number == m_nSequence && m_strPath == PiecePath(number)) m_strPath = target;
  struct stat info {};
  if (PieceNamer::EndsLikeASequenceName(*name) && ::stat(target.c_str(), &info) == 0) {
    m_untouchable.push_back({info.st_dev, info.st_ino});
  }
  return true;
}

}  // namespace sekato::engine
