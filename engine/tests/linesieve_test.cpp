#include "linesieve.h"

#include <gtest/gtest.h>

#include "linereader.h"
#include "pairscanner.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST(LineSieve, CountingPairScanAgreesWithAPlainLoop) {
  // Every length around the 16- and 32-byte blocks, from bytes that make the pairs, line
  // feeds and near misses.
  const std::string alphabet = "\n\xB5\xDA\xA1 a\nC";
  const PairScanner::Pair pairs[] = {{0xB5, 0xDA}, {'C', '\n'}, {' ', 'a'}, {0xA1, 0xA1}};
  unsigned seed = 11;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const auto length = static_cast<std::size_t>(round % 90);
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += alphabet[(seed >> 16) % alphabet.size()];
    }
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t count = 1 + static_cast<std::size_t>(round % 4);
    for (std::size_t from = 0; from <= length; from += 3) {
      std::size_t expected = PairScanner::npos;
      std::int64_t expectedFeeds = 0;
      for (std::size_t p = from; p < length && expected == PairScanner::npos; ++p) {
        for (std::size_t i = 0; i < count && p + 1 < length; ++i) {
          if (data[p] == pairs[i].first && data[p + 1] == pairs[i].second) expected = p;
        }
        if (expected == PairScanner::npos && data[p] == '\n') ++expectedFeeds;
      }
      std::int64_t feeds = 0;
      std::int64_t portableFeeds = 0;
      ASSERT_EQ(PairScanner::FindAnyCountingLines(data, from, length, pairs, count, feeds),
                expected)
          << round;
      ASSERT_EQ(PairScanner::FindAnyCountingLinesPortable(data, from, length, pairs, count,
                                                          portableFeeds),
                expected)
          << round;
      ASSERT_EQ(feeds, expectedFeeds) << round;
      ASSERT_EQ(portableFeeds, expectedFeeds) << round;
    }
  }
}

TEST(LineSieve, HandsOutWhatTheLineReaderGivesWholeThatHoldsANeedle) {
  // Random books with lines of every length up to a few KB, CR LF and LF ends and stray CRs,
  // read in blocks down to a few bytes, with part limits that make many lines long.
  const std::vector<std::string> needles = {G("第"), G("文a")};
  for (unsigned seed = 1; seed <= 3; ++seed) {
    for (const std::string& tail : {std::string(), G("尾第"), G("第\r")}) {
      const std::string book = RandomBook(seed) + tail;
      // A byte-order mark the sieve skips and the reader never sees.
      const std::string mark = seed == 2 ? "\xEF\xBB\xBF" : "";
      TempDir dir;
      WriteFile(dir / "book.txt", book);
      WriteFile(dir / "marked.txt", mark + book);
      // Part limits, each with a line limit (none, or one under which lines are passed over).
      const std::pair<std::size_t, std::size_t> limits[] = {
          {64, SIZE_MAX}, {1000, SIZE_MAX}, {kMiB, SIZE_MAX}, {kMiB, 40}};
      for (const auto& [partLimit, lineLimit] : limits) {
        std::vector<std::string> expected;
        std::int64_t lines = 0;
        LineReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(dir / "book.txt", error));
        reader.SetPartLimit(partLimit);
        char* data = nullptr;
        std::size_t size = 0;
        bool complete = true;
        bool inLine = false;
        std::int64_t before = reader.Position();
        while (reader.Next(data, size, complete)) {
          const bool lineStart = !inLine;
          inLine = !complete;
          lines += lineStart ? 1 : 0;
          const std::string_view line(data, size);
          bool holds = false;
          for (const auto& needle : needles) holds = holds || line.find(needle) != line.npos;
          if (lineStart && complete && holds && size <= lineLimit) {
            expected.push_back(std::to_string(lines) + " " +
                               std::to_string(before + static_cast<std::int64_t>(mark.size())) +
                               " " + std::string(line));
          }
          before = reader.Position();
        }
        // Blocks smaller than a vector, read ahead or by the pass itself.
        const std::pair<std::size_t, unsigned> readings[] = {{16, 2}, {64, 0}, {4096, 2}};
        for (const auto& [block, readers] : readings) {
          SCOPED_TRACE("seed " + std::to_string(seed) + " part " + std::to_string(partLimit) +
                       " line " + std::to_string(lineLimit) + " block " + std::to_string(block) +
                       " tail " + std::to_string(tail.size()));
          LineSieve sieve(needles, partLimit, block, readers);
          sieve.SetLineLimit(lineLimit);
          ASSERT_TRUE(
              sieve.Open(dir / "marked.txt", static_cast<std::int64_t>(mark.size()), error));
          std::vector<std::string> got;
          const auto end = sieve.Run(
              [&](const LineSieve::Line& l) {
                got.push_back(std::to_string(l.number) + " " + std::to_string(l.offset) + " " +
                              std::string(l.data, l.size));
                return true;
              },
              [](std::int64_t) { return true; });
          ASSERT_EQ(end, LineSieve::End::Done);
          EXPECT_EQ(got, expected);
          EXPECT_EQ(sieve.Lines(), lines);
        }
      }
    }
  }
}

}  // namespace
}  // namespace sekato::engine
