// OutFile's copies of byte ranges from another file, made by the kernel.
#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "fileops.h"
#include "helpercopy.h"
#include "outfile.h"

namespace sekato::engine {

std::int64_t OutFile::CopyFrom(int from, std::int64_t offset, std::int64_t size) {
  Flush();
  Settle();  // the kernel copies after the file's end as it is now
  const off_t start = size >= kShareFrom && m_nErrno == 0 && m_fd >= 0
                          ? ::lseek(m_fd, 0, SEEK_CUR)
                          : off_t{-1};
  if (start < 0) return CopyHere(from, offset, size);
  // The second half goes at its own offset while this thread copies the first.
  const std::int64_t half = size / 2;
  if (!m_helper) m_helper = std::make_unique<HelperCopy>();
  m_helper->Start(from, offset + half, m_fd, start + half, size - half);
  const std::int64_t first = CopyHere(from, offset, half);
  int error = 0;
  const std::int64_t second = m_helper->Wait(error);
  if (m_nErrno == 0) m_nErrno = error;
  // A source that ended within the first half leaves nothing of the second in the piece.
  const std::int64_t copied = first < half ? first : half + second;
  if (first < half && ::ftruncate(m_fd, start + first) != 0 && m_nErrno == 0) m_nErrno = errno;
  if (::lseek(m_fd, start + copied, SEEK_SET) < 0 && m_nErrno == 0) m_nErrno = errno;
  return copied;
}

std::int64_t OutFile::CopyHere(int from, std::int64_t offset, std::int64_t size) {
  std::int64_t copied = 0;
  while (copied < size && m_nErrno == 0 && m_fd >= 0) {
    // Each call copies at most what sendfile takes at once.
    constexpr std::int64_t kMostAtOnce = std::int64_t{1} << 30;
    const auto want = static_cast<std::size_t>(std::min(size - copied, kMostAtOnce));
    const ssize_t got = CopyStep(m_copy, from, offset, want);
    if (got == 0) break;  // the source ended
    if (got > 0) {
      copied += got;
      continue;
    }
    if (errno == EINTR) continue;
    // Files the kernel cannot copy between (another file system, a kernel without the
    // call) are copied the next simpler way; any other failure is the piece's.
    const bool unable = errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                        errno == EOPNOTSUPP || errno == ENOTSUP;
    if (!unable || m_copy == Copy::ReadWrite) {
      m_nErrno = errno;
      break;
    }
    m_copy = m_copy == Copy::FileRange ? Copy::SendFile : Copy::ReadWrite;
  }
  return copied;
}

ssize_t OutFile::CopyStep(Copy how, int from, std::int64_t& offset, std::size_t size) {
  switch (how) {
    case Copy::FileRange: {
      loff_t at = offset;
      const ssize_t got = ::copy_file_range(from, &at, m_fd, nullptr, size, 0);
      if (got > 0) offset = at;
      return got;
    }
    case Copy::SendFile: {
      off_t at = offset;
      const ssize_t got = ::sendfile(m_fd, from, &at, size);
      if (got > 0) offset = at;
      return got;
    }
    case Copy::ReadWrite:
      break;
  }
  // Through the buffer, which Flush has emptied.
  const ssize_t got = FileOps::ReadSomeAt(from, m_pBuffer, std::min(size, m_nCapacity), offset);
  if (got <= 0) {
    if (got < 0 && (errno == EINVAL || errno == ENOSYS)) errno = EIO;  // not "cannot copy"
    return got;
  }
  const int error = FileOps::WriteAll(m_fd, m_pBuffer, static_cast<std::size_t>(got));
  if (error != 0) {
    errno = error;
    return -1;
  }
  offset += got;
  return got;
}

}  // namespace sekato::engine
