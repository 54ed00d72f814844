#include "shortlinescan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

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

// Every line feed has its CR once each of them is known as CR LF.
std::string AllCrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

struct FeedCase {
  const char* name;
  std::string text;
  bool bare;
};

class ShortLineFeeds : public testing::TestWithParam<FeedCase> {};

TEST_P(ShortLineFeeds, TellsALineFeedWithoutItsCrWhereverTheBlocksAndSlicesEnd) {
  const FeedCase& c = GetParam();
  TempDir dir;
  WriteFile(dir / "book.txt", c.text);
  const auto length = static_cast<std::int64_t>(c.text.size());
  std::string error;
  for (const std::size_t limit : {std::size_t{0}, std::size_t{3}, std::size_t{40}}) {
    for (const std::size_t block : {std::size_t{1}, std::size_t{5}, std::size_t{64}, std::size_t{4096}}) {
      // Tiny blocks only where the book is short: a random book read a byte at a time is slow.
      if (block < 64 && length > 4096) continue;
      // The book whole, and cut in two anywhere: the slices together tell what it does.
      for (std::int64_t cut = 0; cut <= length; cut += std::max<std::int64_t>(1, length / 16)) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " block " + std::to_string(block) +
                     " cut " + std::to_string(cut));
        bool bare = false;
        for (const auto& [from, to] : {std::pair{std::int64_t{0}, cut}, std::pair{cut, length}}) {
          ShortLineScan scan(limit, block);
          ASSERT_TRUE(scan.Open(dir / "book.txt", 0, error));
          scan.Limit(from, to);
          ASSERT_EQ(scan.Run([](const ShortLineScan::Line&) { return true; },
                             [](std::int64_t) { return true; }),
                    ShortLineScan::End::Done);
          bare = bare || scan.BareFeeds();
        }
        EXPECT_EQ(bare, c.bare);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Books, ShortLineFeeds,
    testing::Values(FeedCase{"CrLfOnly", G("序\r\n第一章\r\n甲\r\n"), false},
                    FeedCase{"LastFeedBare", G("序\r\n第一章\n"), true},
                    FeedCase{"FeedFirst", "\n\r\na", true},
                    FeedCase{"EmptyLinesWithCr", "\r\n\r\n\r\n", false},
                    FeedCase{"CrThenCrLf", "a\r\r\nb\r", false},
                    FeedCase{"CrAfterTheFeed", "a\n\rb", true},
                    FeedCase{"LongLineEndsBare", "x\r\n" + std::string(100, 'y') + "\nz\r\n", true},
                    FeedCase{"LongLineEndsWithCr", std::string(100, 'y') + "\r\nz", false},
                    FeedCase{"RandomBook", RandomBook(4), true},
                    FeedCase{"RandomBookCrLf", AllCrLf(RandomBook(5)), false}),
    [](const testing::TestParamInfo<FeedCase>& info) { return info.param.name; });

}  // namespace
}  // namespace sekato::engine
