#include <gtest/gtest.h>

#include "sizesplitter.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

class SizeSplit : public ::testing::Test {
 protected:
  SplitOptions Options(const std::string& bytes, int mode = 1) {
    WriteFile(dir / "src.txt", bytes);
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    options.mode = static_cast<SplitMode>(mode);
    return options;
  }
  std::vector<std::string> Pieces() {
    std::vector<std::string> pieces;
    for (const auto& name : ListDir(dir / "out")) pieces.push_back(ReadFile(dir / ("out/" + name)));
    return pieces;
  }
  TempDir dir;
  RecordingHost host;
};

std::string Chinese(std::size_t characters) {
  std::string text;
  for (std::size_t i = 0; i < characters; ++i) text += "\xD6\xD0";  // 中
  return text;
}

TEST_F(SizeSplit, CutsTheCrossingLineAtTheLimitOnACharacterBoundary) {
  // Count 1000 + line break = 1002; a 40-byte line leaves room 22: the piece ends at 1024.
  auto options = Options(std::string(1000, 'a') + "\r\n" + Chinese(20) + "\r\n");
  options.maxKb = 1;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  auto pieces = Pieces();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], std::string(1000, 'a') + "\r\n" + Chinese(11));
  EXPECT_EQ(pieces[0].size(), 1024u);
  EXPECT_EQ(pieces[1], Chinese(9));
  // Room 21 ends inside a character: the cut moves back to 20.
  std::filesystem::remove_all(dir / "out");
  RecordingHost again;
  auto odd = Options(std::string(1001, 'a') + "\r\n" + Chinese(20));
  odd.maxKb = 1;
  ASSERT_EQ(Split(odd, again), SplitOutcome::Completed);
  pieces = Pieces();
  EXPECT_EQ(pieces[0], std::string(1001, 'a') + "\r\n" + Chinese(10));
  EXPECT_EQ(pieces[1], Chinese(10));
}

TEST_F(SizeSplit, SpacesAndAsciiTrailBytesNeverLeadToAHalfCharacter) {
  // Counting lead-range bytes from the cut back would split 中 in " 中中" with room 3.
  auto options = Options(std::string(1019, 'a') + "\r\n" + " " + Chinese(2));
  options.maxKb = 1;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  auto pieces = Pieces();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], std::string(1019, 'a') + "\r\n " + Chinese(1));
  EXPECT_EQ(pieces[1], Chinese(1));
  // 丂 (81 40) has an ASCII trail byte; room 3 falls inside the next character.
  std::filesystem::remove_all(dir / "out");
  RecordingHost again;
  auto trail = Options(std::string(1019, 'a') + "\r\n" + "\x81\x40" + Chinese(3));
  trail.maxKb = 1;
  ASSERT_EQ(Split(trail, again), SplitOutcome::Completed);
  pieces = Pieces();
  EXPECT_EQ(pieces[0], std::string(1019, 'a') + "\r\n\x81\x40");
  EXPECT_EQ(pieces[1], Chinese(3));
}

TEST_F(SizeSplit, KeepLinesMovesTheCrossingLineWhole) {
  auto options = Options(std::string(2000, 'x') + "\r\nshort\r\n" + std::string(1000, 'y'));
  options.maxKb = 1;
  options.keepLines = true;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  auto pieces = Pieces();
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0], "");  // the first line is longer than the limit
  EXPECT_EQ(pieces[1], std::string(2000, 'x') + "\r\n");
  EXPECT_EQ(pieces[2], "short\r\n" + std::string(1000, 'y'));
}

TEST_F(SizeSplit, LimitZeroAndHeadsLongerThanTheLimitGiveALinePerPiece) {
  auto options = Options("one\r\ntwo\r\nthree\r\n");
  SplitRun run(options, host);
  run.SetSizeLimitBytes(0);
  ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
  EXPECT_EQ(Pieces(), (std::vector<std::string>{"", "one\r\n", "two\r\n", "three"}));
  std::filesystem::remove_all(dir / "out");
  RecordingHost again;
  auto head = Options("one\r\ntwo\r\n");
  head.addHead = true;
  head.head = "H";
  SplitRun headRun(head, again);
  headRun.SetSizeLimitBytes(0);
  ASSERT_EQ(Execute(headRun, again), SplitOutcome::Completed);
  EXPECT_EQ(Pieces(), (std::vector<std::string>{"H\r\n\r\n", "H\r\n\r\none\r\n", "H\r\n\r\ntwo"}));
}

TEST_F(SizeSplit, EvenModeSharesTheSourceWithAllowancesForTheEnding) {
  // 200 bytes in ten lines of 18 + CR LF, 5 parts, promotional line on: limit 53,
  // allowance 12, so pieces of three, three, three and one line.
  std::string text;
  for (char c = 'a'; c < 'a' + 10; ++c) text += std::string(18, c) + "\r\n";
  auto options = Options(text, 2);
  options.parts = 5;
  options.noPromotion = false;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  auto pieces = Pieces();
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].substr(0, 60), std::string(18, 'a') + "\r\n" + std::string(18, 'b') + "\r\n" +
                                         std::string(18, 'c') + "\r\n");
  EXPECT_EQ(pieces[0].substr(60, 4), "\r\n\r\n");
  EXPECT_EQ(pieces[3].substr(0, 20), std::string(18, 'j') + "\r\n");
  EXPECT_EQ(pieces[3].substr(18, 2), "\r\n");
}

TEST(SizeLimits, WorkedFiguresAndLargeSizes) {
  EXPECT_EQ(SizeSplitter::ForSize(1000).limit, 1024000);
  EXPECT_EQ(SizeSplitter::ForSize(3000000).limit, 3072000000);  // past 2 GiB
  PieceLayout layout;
  const auto even = SizeSplitter::ForParts(10000, 5, layout);
  EXPECT_EQ(even.limit, 2013);
  EXPECT_EQ(even.allowance, 12);
  layout.addHead = true;
  layout.head = "HH";
  layout.addTail = true;
  layout.tail = "TTT";
  layout.addPromotion = false;
  const auto withTail = SizeSplitter::ForParts(10000, 5, layout);
  EXPECT_EQ(withTail.limit, 2001 + 4 + 7);
  EXPECT_EQ(withTail.allowance, 7);
}

}  // namespace
}  // namespace sekato::engine
