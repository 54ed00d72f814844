#include "piecewriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fileops.h"
#include "sekato/textrules.h"

namespace sekato::engine {

PieceWriter::PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode)
    : m_layout(std::move(layout)), m_untouchable{{sourceDevice, sourceInode}} {
  m_file.AllowWriteBehind(m_layout.writeBehind);
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

std::string PieceWriter::Directory() const {
  return m_strFolder.empty() ? m_layout.directory : m_layout.directory + "/" + m_strFolder;
}

std::string PieceWriter::PiecePath(std::int64_t number) const {
  if (!m_layout.joinedName.empty()) return m_layout.directory + "/" + m_layout.joinedName;
  return Directory() + "/" + m_layout.namer.SequenceName(number);
}

bool PieceWriter::EnterFolder(const std::string& name) {
  const bool first = m_strFolder.empty();
  const std::string folder = m_layout.directory + "/" + name;
  std::string reason;
  if (!FileOps::MakeDirectory(folder, reason)) {
    m_error = {MessageId::MakeFolder, {folder, reason}};
    return false;
  }
  m_strFolder = name;
  // The next piece opened is the folder's first; the first folder takes piece 001 along.
  m_folders.push_back({name, first ? 1 : m_nSequence + 1});
  if (!first) return true;
  for (const std::string& earlier : m_earlier) {
    const std::string from = m_layout.directory + "/" + earlier;
    const std::string to = folder + "/" + earlier;
    // A piece of an earlier split under that name goes, as opening the piece there would
    // empty it; the source and anything that is no plain file stay.
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
      bool untouchable = !S_ISREG(info.st_mode);
      for (const FileId& id : m_untouchable) {
        untouchable = untouchable || (id.device == info.st_dev && id.inode == info.st_ino);
      }
      if (untouchable) {
        m_error = {MessageId::NotRegularPiece, {to}};
        return false;
      }
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
      m_error = {MessageId::CreatePiece, {to, std::strerror(errno)}};
      return false;
    }
    if (from == m_strPath) m_strPath = to;
  }
  m_earlier.clear();
  m_earlier.shrink_to_fit();
  return true;
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
    if (m_layout.volumeFolders && m_strFolder.empty()) {
      m_earlier.push_back(m_layout.namer.SequenceName(number));
    }
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
  const std::string target = Directory() + "/" + *name;
  if (!FileOps::RenameNoReplace(PiecePath(number), target)) return false;
  // The piece at hand keeps being named right once it has its title.
  if (number == m_nSequence && m_strPath == PiecePath(number)) m_strPath = target;
  if (!m_earlier.empty() && m_earlier.back() == m_layout.namer.SequenceName(number)) {
    m_earlier.back() = *name;
  }
  struct stat info {};
  if (PieceNamer::EndsLikeASequenceName(*name) && ::stat(target.c_str(), &info) == 0) {
    m_untouchable.push_back({info.st_dev, info.st_ino});
  }
  return true;
}

}  // namespace sekato::engine
