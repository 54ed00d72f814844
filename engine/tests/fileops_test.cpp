#include "fileops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

// A pipe whose ends close with the object.
struct Pipe {
  int ends[2] = {-1, -1};
  Pipe() { EXPECT_EQ(::pipe(ends), 0); }
  ~Pipe() {
    for (int fd : ends) {
      if (fd >= 0) ::close(fd);
    }
  }
  int Reader() const { return ends[0]; }
  int Writer() const { return ends[1]; }
  void CloseWriter() {
    ::close(ends[1]);
    ends[1] = -1;
  }
};

void NoteSignal(int) {}

// A blocked read or write that a signal interrupts must go on, not fail: the split runs with
// a progress thread and a terminal that sends SIGWINCH, SIGCHLD and the like. The handler is
// installed without SA_RESTART, so the kernel hands EINTR back instead of restarting.
TEST(FileOps, ReadFullyGoesOnAfterASignalAndAcrossShortReads) {
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = NoteSignal;
  ::sigemptyset(&action.sa_mask);
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
  Pipe pipe;
  const pthread_t reader = ::pthread_self();
  std::atomic<bool> done{false};
  std::thread writer([&] {
    // The reader is blocked on the empty pipe by now (or soon: the signal comes again).
    for (int i = 0; i < 5 && !done; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ::pthread_kill(reader, SIGUSR1);
    }
    // Three writes: the reader sees them as short reads it has to join.
    for (const char* part : {"abc", "defg", "hi"}) {
      EXPECT_EQ(FileOps::WriteAll(pipe.Writer(), part, std::char_traits<char>::length(part)), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pipe.CloseWriter();
  });
  char buffer[16] = {};
  int error = -1;
  const std::size_t got = FileOps::ReadFully(pipe.Reader(), buffer, sizeof buffer, error);
  done = true;
  writer.join();
  ::sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(std::string(buffer, got), "abcdefghi");
}

TEST(FileOps, ReadFullyAtStopsAtTheEndAndLeavesThePosition) {
  TempDir dir;
  WriteFile(dir / "f", "0123456789");
  const int fd = ::open((dir / "f").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  struct Case {
    std::int64_t offset;
    std::size_t size;
    std::string expected;
  };
  for (const Case& c :
       {Case{0, 4, "0123"}, Case{6, 10, "6789"}, Case{10, 3, ""}, Case{20, 3, ""}}) {
    std::string buffer(c.size, '\0');
    int error = -1;
    buffer.resize(FileOps::ReadFullyAt(fd, buffer.data(), buffer.size(), c.offset, error));
    EXPECT_EQ(buffer, c.expected) << c.offset;
    EXPECT_EQ(error, 0) << c.offset;
  }
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 0);
  char byte = 0;
  int error = 0;
  EXPECT_EQ(FileOps::ReadFully(-1, &byte, 1, error), 0U);
  EXPECT_EQ(error, EBADF);
  ::close(fd);
}

TEST(FileOps, WritesGiveTheReasonTheyFailed) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  char bytes[4] = {'a', 'b', 'c', 'd'};
  iovec parts[2] = {{bytes, 2}, {bytes + 2, 2}};
  EXPECT_EQ(FileOps::WriteAll(full, bytes, sizeof bytes), ENOSPC);
  EXPECT_EQ(FileOps::WriteAllParts(full, parts, 2), ENOSPC);
  EXPECT_EQ(FileOps::WriteAllAt(-1, bytes, sizeof bytes, 0), EBADF);
  EXPECT_EQ(FileOps::WriteAll(full, bytes, 0), 0);  // nothing to write is no failure
  ::close(full);
}

// writev may stop inside any part; what is left of it has to follow before the next part.
TEST(FileOps, WriteAllPartsWritesEveryPartInOrderThroughAFullPipe) {
  Pipe pipe;
  const std::string first(100000, 'x');
  const std::string second = "tail";
  std::string read;
  std::thread reader([&] {
    char chunk[4096];
    ssize_t got;
    while ((got = FileOps::ReadSome(pipe.Reader(), chunk, sizeof chunk)) > 0) {
      read.append(chunk, static_cast<std::size_t>(got));
    }
  });
  iovec parts[3] = {{nullptr, 0},
                    {const_cast<char*>(first.data()), first.size()},
                    {const_cast<char*>(second.data()), second.size()}};
  EXPECT_EQ(FileOps::WriteAllParts(pipe.Writer(), parts, 3), 0);
  pipe.CloseWriter();
  reader.join();
  EXPECT_EQ(read, first + second);
}

TEST(FileOps, WriteAllAtWritesAtTheOffsetAndOverwrites) {
  TempDir dir;
  const int fd = ::open((dir / "f").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(FileOps::WriteAllAt(fd, "abcdef", 6, 0), 0);
  EXPECT_EQ(FileOps::WriteAllAt(fd, "XY", 2, 2), 0);
  EXPECT_EQ(FileOps::WriteAllAt(fd, "!", 1, 8), 0);  // past the end leaves a hole of zeros
  ::close(fd);
  EXPECT_EQ(ReadFile(dir / "f"), std::string("abXYef\0\0!", 9));
}

}  // namespace
}  // namespace sekato::engine
