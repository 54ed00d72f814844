#include "cleanupmasks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gbktext.h"

namespace sekato::engine {
namespace {

using Masks = std::vector<std::uint64_t>;
using MarkFn = void (*)(const char*, std::size_t, unsigned char, unsigned char, std::uint64_t*,
                        std::uint64_t*);

// Lines of GBK-like bytes around the 64-byte words the masks are made of: full-width spaces
// alone and in runs, straddling pairs (啊、 is B0A1 A1A2), empty lines, bare line feeds.
std::string MixedLines(std::mt19937& rng, std::size_t length) {
  static const std::vector<std::string> bits = {
      "\xA1\xA1", "\xB0\xA1", "\xA1\xA2", "\r\n", "\r\n\r\n", "\n", "a", " ", "\xD5\xC2", "\xA1"};
  std::string text;
  while (text.size() < length) text += bits[rng() % bits.size()];
  text.resize(length);
  return text;
}

TEST(CleanupMasks, EveryKernelMarksWhatAPlainLoopFinds) {
  std::mt19937 rng(11);
  for (std::size_t length = 0; length < 300; ++length) {
    const std::string text = MixedLines(rng, length);
    const std::size_t words = CleanupMasks::Words(length);
    Masks pairs(words), feeds(words);
    for (std::size_t p = 0; p < length; ++p) {
      if (text.compare(p, 2, "\xA1\xA1") == 0) pairs[p / 64] |= std::uint64_t{1} << (p % 64);
      if (text.compare(p, 3, "\n\r\n") == 0) feeds[p / 64] |= std::uint64_t{1} << (p % 64);
    }
    for (const MarkFn mark :
         {&CleanupMasks::Mark, &CleanupMasks::MarkPortable, &CleanupMasks::MarkBytes}) {
      Masks gotPairs(words, ~std::uint64_t{0}), gotFeeds(words, ~std::uint64_t{0});
      mark(text.data(), length, 0xA1, 0xA1, gotPairs.data(), gotFeeds.data());
      ASSERT_EQ(gotPairs, pairs) << "length " << length;
      ASSERT_EQ(gotFeeds, feeds) << "length " << length;
    }
  }
}

TEST(CleanupMasks, NextFindsTheFirstMarkAtOrAfter) {
  const Masks words = {std::uint64_t{1} << 5, 0, std::uint64_t{1} << 63};
  EXPECT_EQ(CleanupMasks::Next(words, 0), 5u);
  EXPECT_EQ(CleanupMasks::Next(words, 5), 5u);
  EXPECT_EQ(CleanupMasks::Next(words, 6), 191u);
  EXPECT_EQ(CleanupMasks::Next(words, 192), CleanupMasks::npos);
  EXPECT_EQ(CleanupMasks::Next({}, 0), CleanupMasks::npos);
}

TEST(CleanupMasks, WideningByTheMarksEqualsWideningByLooking) {
  std::mt19937 rng(3);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = MixedLines(rng, static_cast<std::size_t>(round % 400));
    const std::size_t words = CleanupMasks::Words(text.size());
    Masks pairs(words), feeds(words);
    CleanupMasks::Mark(text.data(), text.size(), 0xA1, 0xA1, pairs.data(), feeds.data());
    std::string byMarks = text;
    GbkText::WidenFullWidthSpacesAt(byMarks.data(), byMarks.size(), pairs);
    std::string byLooking = text;
    GbkText::WidenFullWidthSpaces(byLooking.data(), byLooking.size());
    ASSERT_EQ(byMarks, byLooking) << "round " << round;
  }
}

}  // namespace
}  // namespace sekato::engine
