#include "writebehind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "bytesource.h"
#include "outfile.h"
#include "runcleaner.h"
#include "sekato/textrules.h"
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

// Creates `path` for writing through `out`, as a run creates its pieces.
bool CreatePiece(OutFile& out, const std::string& path) {
  OutFile::Refusal refusal;
  std::size_t hit = 0;
  std::string reason;
  return out.Create(path, {}, refusal, hit, reason);
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

// A file closed behind is closed by the writing thread after its last buffer; a failure is
// named by the first file closed after it, which is the file it happened in, or by no name
// while that file is still the caller's.
TEST(WriteBehind, AFileClosedBehindIsClosedAndAFailureNamesIt) {
  struct Case {
    const char* name;
    std::vector<bool> full;  ///< per file: written to /dev/full
    bool lastClosed;         ///< the last file is closed behind too
    int error;
    const char* failed;
  };
  const Case cases[] = {
      {"all well", {false, false, false}, true, 0, ""},
      {"the second of three fails", {false, true, false}, true, ENOSPC, "file1"},
      {"the first fails, the later are passed over", {true, false, false}, true, ENOSPC, "file0"},
      {"the file still open fails", {false, false, true}, false, ENOSPC, ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteBehind behind(8, 2);
    ASSERT_TRUE(behind.Start());
    // All opened first, so no descriptor number is taken again once closed.
    std::vector<int> fds;
    for (std::size_t i = 0; i < c.full.size(); ++i) {
      const std::string name = "file" + std::to_string(i);
      fds.push_back(c.full[i] ? ::open("/dev/full", O_WRONLY | O_CLOEXEC)
                              : OpenForWriting(dir / name));
      ASSERT_GE(fds.back(), 0);
    }
    for (std::size_t i = 0; i < c.full.size(); ++i) {
      const std::string name = "file" + std::to_string(i);
      const int fd = fds[i];
      char* buffer = behind.Free();
      std::memcpy(buffer, "abc", 3);
      behind.Hand(fd, buffer, 3);
      buffer = behind.Free();
      std::memcpy(buffer, "de", 2);
      if (c.lastClosed || i + 1 < c.full.size()) {
        behind.HandClose(fd, buffer, 2, name);
      } else {
        behind.Hand(fd, buffer, 2);
      }
    }
    std::string failed = "not told";
    EXPECT_EQ(behind.Settle(&failed), c.error) << c.name;
    EXPECT_EQ(failed, c.failed) << c.name;
    // Every file closed behind is closed: its descriptor is no longer this process's.
    for (std::size_t i = 0; i < fds.size(); ++i) {
      const bool closed = c.lastClosed || i + 1 < fds.size();
      EXPECT_EQ(::fcntl(fds[i], F_GETFD) < 0, closed) << c.name << " file " << i;
      if (!closed) ::close(fds[i]);
    }
    if (c.error == 0) {
      EXPECT_EQ(ReadFile(dir / "file2"), "abcde") << c.name;
    }
  }
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
    ASSERT_TRUE(CreatePiece(out, dir / "piece"));
    std::string reason;
    bool seen = false;  // seen before Close, as a run looks after every line
    bool closed = false;
    {
      const FileSizeLimit limit(1 << 20);
      for (std::size_t written = 0; written < total; written += chunk.size()) {
        out.Write(chunk);
        seen = seen || out.Failed();
      }
      closed = out.Close(reason);
    }
    const bool tooLong = total > (std::size_t{1} << 20);
    EXPECT_EQ(closed, !tooLong) << total;
    EXPECT_EQ(reason, tooLong ? std::strerror(EFBIG) : "") << total;
    // Some buffers of the longest are still being filled long after the failure.
    if (total > (std::size_t{2} << 20)) {
      EXPECT_TRUE(seen);
    }
  }
}

// Pieces closed behind one after another: each file holds its own bytes, and a piece too long
// for the file-size limit is named as the one that failed, whether a later close or the
// final settling is the first to hear of it.
TEST(OutFileBehind, PiecesClosedBehindFailUnderTheirOwnName) {
  TempDir dir;
  const std::string chunk = Numbered(40000, 3);
  struct Case {
    const char* name;
    std::vector<std::size_t> chunks;  ///< per piece, of 40000 bytes (a limit of 1 MiB)
    int failing;                      ///< the piece that fails, or -1
  };
  const Case cases[] = {
      {"all fit", {20, 3, 25, 1}, -1},
      {"the second is too long", {20, 40, 3, 20}, 1},
      // Over by its last buffer, handed over with the close: told by a later call.
      {"the second is just too long", {3, 27, 3, 3}, 1},
      {"the last is just too long", {3, 3, 27}, 2},
  };
  for (const Case& c : cases) {
    OutFile out;
    out.AllowWriteBehind(true);
    std::string reason;
    bool told = false;
    {
      const FileSizeLimit limit(1 << 20);
      for (std::size_t piece = 0; piece < c.chunks.size() && !told; ++piece) {
        ASSERT_TRUE(CreatePiece(out, dir / ("piece" + std::to_string(piece))));
        for (std::size_t i = 0; i < c.chunks[piece]; ++i) out.Write(chunk);
        told = !out.CloseBehind(reason);
      }
      told = told || !out.SettleClosed(reason);
    }
    EXPECT_EQ(told, c.failing >= 0) << c.name;
    if (c.failing >= 0) {
      EXPECT_EQ(out.FailedPath(), dir / ("piece" + std::to_string(c.failing))) << c.name;
      EXPECT_EQ(reason, std::strerror(EFBIG)) << c.name;
      continue;
    }
    for (std::size_t piece = 0; piece < c.chunks.size(); ++piece) {
      std::string expected;
      for (std::size_t i = 0; i < c.chunks[piece]; ++i) expected += chunk;
      EXPECT_TRUE(ReadFile(dir / ("piece" + std::to_string(piece))) == expected) << c.name;
    }
  }
}

// Bytes taken back come off the file's end as the caller wrote it, even when the buffers that
// hold them are still queued behind.
TEST(OutFileBehind, TakingBackCutsAtTheEndWritten) {
  TempDir dir;
  const std::string text = Numbered(std::size_t{2} << 20, 4);
  for (const std::int64_t back : {std::int64_t{2}, std::int64_t{300000}, std::int64_t{1} << 20}) {
    OutFile out;
    out.AllowWriteBehind(true);
    ASSERT_TRUE(CreatePiece(out, dir / "piece"));
    std::string reason;
    for (std::size_t at = 0; at < text.size(); at += 1000) {
      out.Write(std::string_view(text).substr(at, 1000));
    }
    out.TakeBack(back);
    out.Write("end");
    ASSERT_TRUE(out.Close(reason)) << reason;
    EXPECT_TRUE(ReadFile(dir / "piece") ==
                text.substr(0, text.size() - static_cast<std::size_t>(back)) + "end")
        << back;
  }
}

// A GBK run of `lines` lines as the split pass takes them: paragraphs with full-width spaces
// (some after a character whose trail byte is 0xA1), and empty lines, the last CR LF left off.
std::string GbkRun(std::size_t lines, unsigned seed) {
  const char* const kinds[] = {"", "\xA1\xA1\xA1\xA1words", "\xB0\xA1\xA1\xA1x", "plain text"};
  std::string run;
  for (std::size_t i = 0; i < lines; ++i) {
    if (i > 0) run += "\r\n";
    run += kinds[(seed * 7 + i * 3 + i / 5) % 4];
  }
  return run;
}

// Runs cleaned up by the writing thread give the file the bytes they give cleaned where they
// lie, in order with what is written between them: however many a buffer holds, whether one
// is too long to be left behind, and however the piece ends.
TEST(OutFileBehind, RunsCleanedBehindGiveTheBytesCleanedHere) {
  TempDir dir;
  const TextRules& rules = TextRules::For(Encoding::Gbk);
  const RunCleaner cleaner(rules);
  enum class End { Close, CloseBehind, TakeBack };
  struct Case {
    const char* name;
    std::size_t runLines;  ///< lines a run (a run of 40 lines is about 300 bytes)
    std::size_t runs;
    End end;
  };
  const Case cases[] = {
      {"runs of a few KB", 400, 300, End::Close},
      {"more runs than a buffer keeps apart", 2, 4000, End::Close},
      {"runs too long to be left behind", 12000, 12, End::CloseBehind},
      {"closed behind", 40, 3000, End::CloseBehind},
      {"taken back", 40, 3000, End::TakeBack},
  };
  OutFile out;
  out.AllowWriteBehind(true);
  out.CleanRunsAs(rules);
  for (const Case& c : cases) {
    for (const bool behind : {false, true}) {
      ASSERT_TRUE(CreatePiece(out, dir / "piece"));
      std::string expected;
      for (std::size_t i = 0; i < c.runs; ++i) {
        std::string run = GbkRun(c.runLines + i % 3, static_cast<unsigned>(i));
        std::string cleaned = run;
        cleaned.resize(cleaner.Clean(cleaned.data(), cleaned.size()));
        const std::size_t counted = out.WriteRunToClean(run.data(), run.size(), behind);
        if (!behind) {
          EXPECT_EQ(counted, cleaned.size()) << c.name;
        }
        expected += cleaned;
        out.Write("|");
        expected += "|";
      }
      std::string reason;
      if (c.end == End::TakeBack) {
        out.TakeBack(1);
        expected.pop_back();
      }
      if (c.end == End::CloseBehind) {
        ASSERT_TRUE(out.CloseBehind(reason) && out.SettleClosed(reason)) << reason;
      } else {
        ASSERT_TRUE(out.Close(reason)) << reason;
      }
      EXPECT_TRUE(ReadFile(dir / "piece") == expected) << c.name << (behind ? ", behind" : "");
    }
  }
}

}  // namespace
}  // namespace sekato::engine
