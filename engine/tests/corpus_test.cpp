#include <gtest/gtest.h>

#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

class CorpusSplit : public ::testing::Test {
 protected:
  SplitOptions Options() { return OptionsFor(CorpusNovel(), dir / "out"); }
  TempDir dir;
  RecordingHost host;
};

TEST_F(CorpusSplit, ChapterKeywordsFindEveryHeadingIncludingTheRepeatedOne) {
  auto options = Options();
  options.keywords = G("第 回");
  options.titleMax = 30;
  options.naming = PieceNaming::ChapterTitle;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  const auto names = ListDir(dir / "out");
  ASSERT_EQ(names.size(), 121u);
  EXPECT_EQ(names[0], "001_第一回宴桃园豪杰三结义斩黄巾英雄首立功.txt");
  // Chapter 35 stands twice, in pieces 035 and 036; the last piece holds chapter 120.
  EXPECT_EQ(names[34].substr(0, 4 + 15), "035_第三十五回");
  EXPECT_EQ(names[35].substr(0, 4 + 15), "036_第三十五回");
  EXPECT_EQ(names[120].substr(0, 4 + 15), "121_第一百二十");
}

TEST_F(CorpusSplit, NumberedKeywordsReadTheBooksOwnSpellingOfEveryNumber) {
  // The book writes 101 as 第一百一回 and 110 as 第一百十回; its second 第三十五回 is body
  // text of chapter 35, since chapter 36 is expected there.
  auto options = Options();
  options.keywords = G("第?回");
  options.titleMax = 30;
  options.naming = PieceNaming::ChapterTitle;
  options.numerals = Numerals::Series::Chinese;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  const auto names = ListDir(dir / "out");
  ASSERT_EQ(names.size(), 120u);
  EXPECT_EQ(names[35].substr(0, 4 + 15), "036_第三十六回");
  EXPECT_EQ(names[119].substr(0, 4 + 18), "120_第一百二十回");
}

TEST_F(CorpusSplit, DefaultTitleLimitSkipsLongHeadings) {
  auto options = Options();
  options.keywords = G("第 回");
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_LT(ListDir(dir / "out").size(), 121u);
}

TEST_F(CorpusSplit, NoTextIsLostInAnyMode) {
  const std::string source = WithoutBreaks(ReadFile(CorpusNovel()));
  struct Mode {
    int split;
    std::int64_t value;
    bool keepLines;
  };
  for (const Mode mode : {Mode{0, 1, false}, Mode{0, 7, false}, Mode{1, 13, false},
                          Mode{1, 13, true}, Mode{2, 9, false}, Mode{1, 0, false}}) {
    auto options = Options();
    options.mode = static_cast<SplitMode>(mode.split);
    options.keywords = G("第 回");
    options.titleMax = 30;
    options.chaptersPerPiece = mode.value;
    options.maxKb = mode.value;
    options.parts = mode.value;
    options.keepLines = mode.keepLines;
    options.newFolder = dir / ("out" + std::to_string(mode.split) + std::to_string(mode.value) +
                               (mode.keepLines ? "k" : ""));
    RecordingHost run;
    ASSERT_EQ(Split(options, run), SplitOutcome::Completed);
    EXPECT_TRUE(WithoutBreaks(JoinPieces(options.newFolder)) == source)
        << "mode " << mode.split << " value " << mode.value;
  }
}

}  // namespace
}  // namespace sekato::engine
