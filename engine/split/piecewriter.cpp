#include "piecewriter.h"

#include <fcntl.h>
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

PieceWriter::~PieceWriter() { DropHeld(); }

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
  if (m_bHolding) {
    std::string reason;
    if (!m_file.CreateUnnamed(Directory(), m_bUnnamed, reason)) {
      m_error = {MessageId::CreatePiece, {m_strPath, reason}};
      return false;
    }
    m_bOpenHeld = true;
    m_file.Write(m_layout.preamble);
    return true;
  }
  if (!CreateNamed()) return false;
  if (m_bClaiming) m_claimed.push_back({number, {}});
  m_file.Write(m_layout.preamble);
  ++m_nCreated;
  if (m_layout.volumeFolders && m_strFolder.empty()) {
    m_earlier.push_back(m_layout.namer.SequenceName(m_nSequence));
  }
  return true;
}

bool PieceWriter::CreateNamed() {
  OutFile::Refusal refusal = OutFile::Refusal::None;
  std::size_t hit = 0;
  std::string reason;
  if (m_file.Create(m_strPath, m_untouchable, refusal, hit, reason, m_bClaiming)) return true;
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
  if (m_bOpenHeld) {  // it has no name: closing it was all
    m_bOpenHeld = false;
    return;
  }
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
  if (m_bOpenHeld) {
    m_bOpenHeld = false;
    const int fd = m_file.Release(reason);
    if (fd < 0) {
      m_error = {MessageId::WritePiece, {m_strPath, reason}};
      return false;
    }
    m_held.push_back({fd, m_nSequence, {}, false, Encoding::Utf8});
    return true;
  }
  // Written behind, a piece's last bytes reach the disk while the next one fills; its
  // failure is told by a later close, or by Settle at the end of the run.
  const bool closed = m_layout.writeBehind ? m_file.CloseBehind(reason) : m_file.Close(reason);
  if (!closed) {
    m_error = {MessageId::WritePiece, {m_file.FailedPath(), reason}};
    return false;
  }
  return true;
}

bool PieceWriter::Settle() {
  std::string reason;
  if (m_file.SettleClosed(reason)) return true;
  m_error = {MessageId::WritePiece, {m_file.FailedPath(), reason}};
  return false;
}

void PieceWriter::Claim(bool on) {
  m_bClaiming = on;
  m_claimed.clear();
  m_nUntouchableBefore = m_untouchable.size();
}

bool PieceWriter::Publish() {
  m_bHolding = false;
  Claim(false);
  std::size_t at = 0;
  bool published = true;
  for (; at < m_held.size() && published; ++at) {
    Held& held = m_held[at];
    published = PublishOne(held.fd, held.number);
    ::close(held.fd);
    held.fd = -1;
    if (published && held.titled) RenameToTitle(held.number, held.title, held.encoding);
  }
  DropHeld();
  return published;
}

bool PieceWriter::PublishOne(int fd, std::int64_t number) {
  m_nSequence = number;
  m_strPath = PiecePath(number);
  // The file is linked to its name where none is there yet: its bytes stay where they are.
  // By its descriptor where the system lets this process (Linux 6.10 on, or the right to
  // read any folder), else through its name under /proc.
  bool linked = ::linkat(fd, "", AT_FDCWD, m_strPath.c_str(), AT_EMPTY_PATH) == 0;
  if (!linked && errno != EEXIST) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_strPath.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  if (linked) {
    ++m_nCreated;
    return true;
  }
  // A file of that name (or no /proc): the piece is opened there as ever and filled from
  // the held one.
  if (!CreateNamed()) return false;
  const off_t size = ::lseek(fd, 0, SEEK_END);
  const int seekError = errno;
  ++m_nCreated;
  const std::int64_t copied = size < 0 ? -1 : m_file.CopyFrom(fd, 0, size);
  std::string reason;
  const bool closed = m_file.Close(reason);
  if (closed && copied != size) reason = std::strerror(size < 0 ? seekError : EIO);
  if (!closed || copied != size) {
    m_error = {MessageId::WritePiece, {m_strPath, reason}};
    return false;
  }
  return true;
}

void PieceWriter::DropHeld() {
  for (Held& held : m_held) {
    if (held.fd >= 0) ::close(held.fd);
  }
  m_held.clear();
  m_held.shrink_to_fit();
  if (m_bOpenHeld) Discard();
  if (m_claimed.empty()) return;
  std::string ignored;
  m_file.Close(ignored);  // the open piece, if any, is the last claimed
  for (const Claimed& piece : m_claimed) {
    ::unlink((piece.renamed.empty() ? PiecePath(piece.number) : piece.renamed).c_str());
  }
  m_nCreated -= static_cast<std::int64_t>(m_claimed.size());
  m_claimed.clear();
  m_claimed.shrink_to_fit();
  m_untouchable.resize(m_nUntouchableBefore);
}

bool PieceWriter::RenameToTitle(std::int64_t number, std::string_view title) {
  return RenameToTitle(number, title,
                       m_layout.rules ? m_layout.rules->TextEncoding() : Encoding::Gbk);
}

bool PieceWriter::RenameToTitle(std::int64_t number, std::string_view title, Encoding encoding) {
  if (m_bSkipping && number == m_nSequence) return false;  // never written
  if (m_bHolding && !m_held.empty() && m_held.back().number == number) {
    // Named when published.
    m_held.back().title = std::string(title);
    m_held.back().titled = true;
    m_held.back().encoding = encoding;
    return true;
  }
  const auto name = m_layout.namer.TitleName(number, title, encoding);
  if (!name) return false;
  const std::string target = Directory() + "/" + *name;
  if (!FileOps::RenameNoReplace(PiecePath(number), target)) return false;
  if (m_bClaiming && !m_claimed.empty() && m_claimed.back().number == number) {
    m_claimed.back().renamed = target;
  }
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
