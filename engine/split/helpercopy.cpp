#include "helpercopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "fileops.h"

namespace sekato::engine {

namespace {
constexpr std::size_t kPipeBytes = std::size_t{1} << 20;
}

HelperCopy::~HelperCopy() {
  if (m_thread.joinable()) {
    {
      const std::lock_guard lock(m_mutex);
      m_bQuit = true;
    }
    m_changed.notify_all();
    m_thread.join();
  }
  for (const int fd : m_pipe) {
    if (fd >= 0) ::close(fd);
  }
}

void HelperCopy::Start(int in, std::int64_t from, int out, std::int64_t at, std::int64_t size) {
  {
    const std::lock_guard lock(m_mutex);
    m_in = in;
    m_out = out;
    m_nFrom = from;
    m_nAt = at;
    m_nSize = size;
    m_nDone = 0;
    m_nError = 0;
    m_bPending = true;
  }
  if (!m_thread.joinable()) m_thread = std::thread([this] { Work(); });
  m_changed.notify_all();
}

std::int64_t HelperCopy::Wait(int& error) {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_bPending; });
  error = m_nError;
  return m_nDone;
}

void HelperCopy::Work() {
  std::unique_lock lock(m_mutex);
  while (true) {
    m_changed.wait(lock, [this] { return m_bPending || m_bQuit; });
    if (m_bQuit) return;
    lock.unlock();
    int error = 0;
    const std::int64_t done = Copy(error);
    lock.lock();
    m_nDone = done;
    m_nError = error;
    m_bPending = false;
    m_changed.notify_all();
  }
}

std::int64_t HelperCopy::Copy(int& error) {
  if (!m_bNoSplice && m_pipe[0] < 0) {
    if (::pipe2(m_pipe, O_CLOEXEC) == 0) {
      ::fcntl(m_pipe[1], F_SETPIPE_SZ, static_cast<int>(kPipeBytes));
    } else {
      m_bNoSplice = true;
    }
  }
  const std::int64_t spliced = m_bNoSplice ? 0 : Spliced(error);
  if (error != EINVAL && error != ENOSYS) return spliced;
  // Files the kernel cannot splice: read and written from where the splice stopped.
  m_bNoSplice = true;
  error = 0;
  return ReadAndWritten(spliced, error);
}

std::int64_t HelperCopy::Spliced(int& error) {
  loff_t in = m_nFrom;
  loff_t out = m_nAt;
  std::int64_t done = 0;
  while (done < m_nSize) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(
        m_nSize - done, static_cast<std::int64_t>(kPipeBytes)));
    const ssize_t got = ::splice(m_in, &in, m_pipe[1], nullptr, want, SPLICE_F_MOVE);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) return done;
    for (ssize_t left = got; left > 0;) {
      const ssize_t put = ::splice(m_pipe[0], nullptr, m_out, &out,
                                   static_cast<std::size_t>(left), SPLICE_F_MOVE);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        // What is left in the pipe is not the next copy's: a fresh pipe comes then.
        error = put < 0 ? errno : EIO;
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
        m_pipe[0] = m_pipe[1] = -1;
        return done;
      }
      left -= put;
    }
    done += got;
  }
  return done;
}

std::int64_t HelperCopy::ReadAndWritten(std::int64_t done, int& error) {
  std::vector<char> buffer(std::size_t{1} << 16);
  while (done < m_nSize) {
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(m_nSize - done, static_cast<std::int64_t>(buffer.size())));
    const ssize_t got = FileOps::ReadSomeAt(m_in, buffer.data(), want, m_nFrom + done);
    if (got < 0) error = errno;
    if (got <= 0) return done;
    error = FileOps::WriteAllAt(m_out, buffer.data(), static_cast<std::size_t>(got), m_nAt + done);
    if (error != 0) return done;
    done += got;
  }
  return done;
}

}  // namespace sekato::engine
