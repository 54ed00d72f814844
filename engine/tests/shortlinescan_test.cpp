#include "shortlinescan.h"

#include <gtest/gtest.h>

#include "linereader.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

TEST(ShortLineScan, EveryKernelFindsTheLineFeedsOfAPlainLoop) {
  // Every length around the 16-, 32- and 64-byte blocks, from every start, with line feeds
  // dense, sparse and next to bytes that differ from them in one bit.
  const std::string alphabet = "\n\x0B\x8A\xB5 a\n\n";
  unsigned seed = 5;
  for (int round = 0; round < 600; ++round) {
    std::string text;
    const auto length = static_cast<std::size_t>(round % 200);
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += round % 3 == 0 && (seed >> 20) % 8 != 0 ? 'x' : alphabet[(seed >> 16) % alphabet.size()];
    }
    for (std::size_t from = 0; from <= length; from += 7) {
      std::vector<std::size_t> expected;
      for (std::size_t at = from; at < length; ++at) {
        if (text[at] == '\n') expected.push_back(at);
      }
      for (const SimdLevel level :
           {SimdLevel::Generic, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
        if (level > CpuFeatures::Supported()) continue;
        std::vector<std::size_t> got;
        ShortLineScan::FeedsWith(level, text.data(), from, length,
                                 [&](std::size_t at) { got.push_back(at); });
        ASSERT_EQ(got, expected) << CpuFeatures::Name(level) << " round " << round << " from "
                                 << from;
      }
    }
  }
}

TEST(ShortLineScan, HandsOutTheShortLinesTheLineReaderGives) {
  // Random books with lines of every length up to a few KB, CR LF and LF ends and stray CRs,
  // read in blocks down to a few bytes, so that short and long lines cross every block end.
  for (unsigned seed = 1; seed <= 3; ++seed) {
    for (const std::string& tail :
         {std::string(), G("尾第"), G("第\r"), std::string("\n"), std::string(300, 'x')}) {
      const std::string book = RandomBook(seed) + tail;
      // A byte-order mark the scan skips and the reader never sees.
      const std::string mark = seed == 2 ? "\xEF\xBB\xBF" : "";
      TempDir dir;
      WriteFile(dir / "book.txt", book);
      WriteFile(dir / "marked.txt", mark + book);
      for (const std::size_t limit : {std::size_t{0}, std::size_t{40}, std::size_t{224}}) {
        // What the reader gives: each line once, whole, with where it starts.
        std::vector<std::string> expected;
        std::int64_t lines = 0;
        bool longSince = false;
        LineReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(dir / "book.txt", error));
        reader.SetPartLimit(std::size_t{1} << 20);
        char* data = nullptr;
        std::size_t size = 0;
        bool complete = true;
        std::int64_t before = reader.Position();
        while (reader.Next(data, size, complete)) {
          ASSERT_TRUE(complete);
          ++lines;
          if (size > limit) {
            longSince = true;
          } else {
            expected.push_back(std::to_string(lines) + " " +
                               std::to_string(before + static_cast<std::int64_t>(mark.size())) +
                               (longSince ? " long " : " ") + std::string(data, size));
            longSince = false;
          }
          before = reader.Position();
        }
        for (const std::size_t block : {std::size_t{3}, std::size_t{64}, std::size_t{4096}}) {
          SCOPED_TRACE("seed " + std::to_string(seed) + " limit " + std::to_string(limit) +
                       " block " + std::to_string(block) + " tail " + std::to_string(tail.size()));
          ShortLineScan scan(limit, block);
          ASSERT_TRUE(scan.Open(dir / "marked.txt", static_cast<std::int64_t>(mark.size()), error));
          std::vector<std::string> got;
          std::int64_t lastPosition = 0;
          const auto end = scan.Run(
              [&](const ShortLineScan::Line& l) {
                got.push_back(std::to_string(l.number) + " " + std::to_string(l.offset) +
                              (l.longBefore ? " long " : " ") + std::string(l.data, l.size));
                return true;
              },
              [&](std::int64_t position) {
                EXPECT_GT(position, lastPosition);
                lastPosition = position;
                return true;
              });
          ASSERT_EQ(end, ShortLineScan::End::Done);
          EXPECT_EQ(got, expected);
          EXPECT_EQ(scan.Lines(), lines);
          EXPECT_EQ(scan.LongAtEnd(), longSince);
        }
      }
    }
  }
}

TEST(ShortLineScan, StopsWhenASinkSaysSo) {
  TempDir dir;
  WriteFile(dir / "book.txt", "a\nb\nc\n" + std::string(100, 'x') + "\nd\n");
  std::string error;
  {
    ShortLineScan scan(10, 4);
    ASSERT_TRUE(scan.Open(dir / "book.txt", 0, error));
    std::string seen;
    const auto end = scan.Run(
        [&](const ShortLineScan::Line& l) {
          seen.append(l.data, l.size);
          return seen.size() < 2;
        },
        [](std::int64_t) { return true; });
    EXPECT_EQ(end, ShortLineScan::End::Stopped);
    EXPECT_EQ(seen, "ab");
  }
  {
    ShortLineScan scan(10, 4);
    ASSERT_TRUE(scan.Open(dir / "book.txt", 0, error));
    int blocks = 0;
    const auto end = scan.Run([](const ShortLineScan::Line&) { return true; },
                              [&](std::int64_t) { return ++blocks < 3; });
    EXPECT_EQ(end, ShortLineScan::End::Stopped);
    EXPECT_EQ(blocks, 3);
  }
}

}  // namespace
}  // namespace sekato::engine
