#include "writebehind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "bytesource.h"
#include "outfile.h"
#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

// A text of `size` bytes that shows where any byte of it came from.
std::string Numbered(std::size_t size, unsigned seed) {
  std::string text;
  for (unsigned i = seed; text.size() < size; ++i) text += std::to_string(i) + (i % 7 ? "," : "\n");
  text.resize(size);
  return text;
}

int OpenForWriting(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

// Every buffer handed over lands after the ones before it, whatever their sizes and however
// far the writer lags: a ring of two is full at almost every hand-over.
TEST(WriteBehind, BuffersLandInTheOrderTheyWereHandedOver) {
  struct Case {
    const char* name;
    std::size_t bufferBytes;
    std::size_t buffers;
    std::size_t total;
  };
  const Case cases[] = {
      {"ring of two, tiny buffers", 3, 2, 5000},
      {"ring of four", 64, 4, 100000},
      {"one buffer asked, two made", 17, 1, 3000},
      {"buffers longer than the text", 1 << 16, 3, 1000},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const int fd = OpenForWriting(dir / "out");
    ASSERT_GE(fd, 0);
    const std::string text = Numbered(c.total, 1);
    {
      WriteBehind behind(c.bufferBytes, c.buffers);
      ASSERT_TRUE(behind.Start());
      EXPECT_EQ(behind.BufferBytes(), c.bufferBytes);
      // Sizes vary from 1 byte to a whole buffer, so no two hand-overs look alike.
      for (std::size_t at = 0, step = 1; at < text.size(); ++step) {
        const std::size_t size = std::min({step % c.bufferBytes + 1, text.size() - at});
        char* buffer = behind.Free();
        std::memcpy(buffer, text.data() + at, size);
        behind.Hand(fd, buffer, size);
        at += size;
      }
      EXPECT_EQ(behind.Settle(), 0) << c.name;
    }
    ::close(fd);
    EXPECT_TRUE(ReadFile(dir / "out") == text) << c.name;
  }
}

// A failed write is told by Settle with its errno, once: every buffer after it is passed over,
// and the next file starts clean.
TEST(WriteBehind, AFailureIsToldOnceAndLaterBuffersArePassedOver) {
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  TempDir dir;
  const int fd = OpenForWriting(dir / "out");
  ASSERT_GE(fd, 0);
  WriteBehind behind(8, 2);
  ASSERT_TRUE(behind.Start());
  const auto hand = [&](int to, const char* bytes) {
    char* buffer = behind.Free();
    const std::size_t size = std::strlen(bytes);
    std::memcpy(buffer, bytes, size);
    behind.Hand(to, buffer, size);
  };
  hand(full, "lost");
  hand(fd, "skipped");  // after the failure, until it is told
  EXPECT_EQ(behind.Settle(), ENOSPC);
  EXPECT_FALSE(behind.Failed());
  hand(fd, "kept");
  EXPECT_EQ(behind.Settle(), 0);
  hand(full, "x");
  EXPECT_EQ(behind.Settle(), ENOSPC);
  ::close(full);
  ::close(fd);
  EXPECT_EQ(ReadFile(dir / "out"), "kept");
}

// What is still queued when the object goes is written before its thread ends.
TEST(WriteBehind, QueuedBuffersAreWrittenBeforeItGoes) {
  TempDir dir;
  const int fd = OpenForWriting(dir / "out");
  ASSERT_GE(fd, 0);
  const std::string text = Numbered(4000, 5);
  {
    WriteBehind behind(100, 3);
    ASSERT_TRUE(behind.Start());
    for (std::size_t at = 0; at < text.size(); at += 100) {
      char* buffer = behind.Free();
      std::memcpy(buffer, text.data() + at, 100);
      behind.Hand(fd, buffer, 100);
    }
  }
  ::close(fd);
  EXPECT_TRUE(ReadFile(dir / "out") == text);
}

// ---- OutFile writing behind ----

// Short writes, long runs written straight, kernel copies and piece after piece through one
// object: the bytes keep the order they were given in, whichever thread writes them.
TEST(OutFileBehind, MixedWritesKeepTheirOrderAcrossPieces) {
  TempDir dir;
  const std::string source = Numbered(3 << 20, 9);
  WriteFile(dir / "src", source);
  ByteSource file;
  std::string reason;
  ASSERT_TRUE(file.Open(dir / "src", reason));
  enum class Kind { Short, Long, Copy };
  struct Step {
    Kind kind;
    std::size_t size;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int repeat;
  };
  const Case cases[] = {
      {"short writes only", {{Kind::Short, 1}, {Kind::Short, 4093}, {Kind::Short, 60000}}, 90},
      {"long runs between", {{Kind::Short, 30000}, {Kind::Long, 70000}, {Kind::Short, 3}}, 40},
      {"copies between", {{Kind::Short, 50000}, {Kind::Copy, 5000}, {Kind::Short, 200}}, 60},
      {"long copy", {{Kind::Short, 65535}, {Kind::Copy, OutFile::kShareFrom + 11}}, 6},
  };
  OutFile out;  // kept from piece to piece, as a run keeps it
  out.AllowWriteBehind(true);
  for (const Case& c : cases) {
    OutFile::Refusal refusal;
    std::size_t hit = 0;
    ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
    std::string expected;
    std::size_t at = 0;
    for (int round = 0; round < c.repeat; ++round) {
      for (const Step& step : c.steps) {
        const std::size_t size = std::min(step.size, source.size() - at);
        if (step.kind == Kind::Copy) {
          out.CopyFrom(file.Descriptor(), static_cast<std::int64_t>(at),
                       static_cast<std::int64_t>(size));
        } else {
          out.Write(std::string_view(source).substr(at, size));
        }
        expected += source.substr(at, size);
        at = (at + size) % (source.size() - 1);
      }
      out.Break();
      expected += "\r\n";
    }
    ASSERT_TRUE(out.Close(reason)) << c.name << ": " << reason;
    EXPECT_TRUE(ReadFile(dir / "piece") == expected) << c.name;
  }
}

// A write that fails on the writing thread is the piece's failure, with the system's reason,
// as one that fails on the caller's: files may grow to 1 MiB only here.
TEST(OutFileBehind, AFailureBehindIsTheFilesWithItsReason) {
  TempDir dir;
  const std::string chunk = Numbered(40000, 2);
  for (const std::size_t total : {std::size_t{300000}, std::size_t{4} << 20}) {
    OutFile out;
    out.AllowWriteBehind(true);
    OutFile::Refusal refusal;
    std::size_t hit = 0;
    std::string reason;
    ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1 << 20;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool seen = false;  // seen before Close, as a run looks after every line
    for (std::size_t written = 0; written < total; written += chunk.size()) {
      out.Write(chunk);
      seen = seen || out.Failed();
    }
    const bool closed = out.Close(reason);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    const bool tooLong = total > (std::size_t{1} << 20);
    EXPECT_EQ(closed, !tooLong) << total;
    EXPECT_EQ(reason, tooLong ? std::strerror(EFBIG) : "") << total;
    // Some buffers of the longest are still being filled long after the failure.
    if (total > (std::size_t{2} << 20)) {
      EXPECT_TRUE(seen);
    }
  }
}

// ---- a run that writes behind ----

// A GBK book of `chapters` chapters of paragraphs parted by blank lines, with full-width
// spaces to widen: clean-up hands out a few KB at a time.
std::string ParagraphBook(int chapters) {
  const std::string indent = G("　　");
  const std::string words = G("天地玄黄宇宙洪荒日月盈昃辰宿列张");
  std::string book;
  for (int chapter = 1; chapter <= chapters; ++chapter) {
    book += G("第") + std::to_string(chapter) + G("章 起") + "\r\n";
    for (int paragraph = 0; paragraph < 12; ++paragraph) {
      book += indent;
      for (int i = 0; i < 40 + (chapter * 7 + paragraph * 13) % 90; ++i) book += words;
      book += paragraph % 3 == 0 ? "  \r\n\r\n" : "\r\n";
    }
  }
  return book;
}

// A stop while full buffers are still queued leaves every piece as a run over the source up
// to where the stop fell leaves it: nothing queued is lost, nothing is written twice.
TEST(WriteBehindRun, AStopLeavesThePiecesOfWhatWasReadBeforeIt) {
  TempDir dir;
  const std::string book = ParagraphBook(400);
  ASSERT_GT(book.size(), std::size_t{3} << 20);
  WriteFile(dir / "src.txt", book);
  const auto options = [&](const std::string& out) {
    SplitOptions made = OptionsFor(dir / "src.txt", out);
    made.trimSpaces = true;
    made.chaptersPerPiece = 150;
    return made;
  };
  for (const std::int64_t stopAt : {std::int64_t{40}, std::int64_t{300}, std::int64_t{1500}}) {
    const std::string stopped = dir / ("stopped" + std::to_string(stopAt));
    RecordingHost host;
    host.stopAfterPolls = stopAt;
    // Read ahead too, so that the reader, the run and the writer all go at once.
    SplitRun run(options(stopped), host);
    run.SetReadAhead(0, std::size_t{1} << 16);
    ASSERT_EQ(Execute(run, host), SplitOutcome::Stopped) << stopAt;
    ASSERT_FALSE(host.positions.empty());
    // The same run over the bytes read before the stop, to its end.
    const auto read = static_cast<std::size_t>(host.positions.back());
    WriteFile(dir / "src.txt", book.substr(0, read));
    const std::string whole = dir / ("whole" + std::to_string(stopAt));
    RecordingHost wholeHost;
    ASSERT_EQ(Split(options(whole), wholeHost), SplitOutcome::Completed);
    WriteFile(dir / "src.txt", book);
    EXPECT_TRUE(FilesIn(stopped) == FilesIn(whole)) << stopAt;
  }
}

}  // namespace
}  // namespace sekato::engine
