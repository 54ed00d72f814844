#include <gtest/gtest.h>

#include <cstdint>

#include "sekato/splitrun.h"
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

// One way to split the book: the mode and its number, and whether lines are kept whole.
struct CorpusMode {
  const char* name;
  int split;
  std::int64_t value;
  bool keepLines;
};

class CorpusModes : public ::testing::TestWithParam<CorpusMode> {};

TEST_P(CorpusModes, LoseNoText) {
  const CorpusMode& mode = GetParam();
  TempDir dir;
  auto options = OptionsFor(CorpusNovel(), dir / "out");
  options.mode = static_cast<SplitMode>(mode.split);
  options.keywords = G("第 回");
  options.titleMax = 30;
  options.chaptersPerPiece = mode.value;
  options.maxKb = mode.value;
  options.parts = mode.value;
  options.keepLines = mode.keepLines;
  // Size 0 is refused from the options; the run still cuts after every line with it.
  const bool everyLine = options.mode == SplitMode::BySize && options.maxKb == 0;
  if (everyLine) options.maxKb = 1;
  RecordingHost host;
  SplitRun run(options, host);
  if (everyLine) run.SetSizeLimitBytes(0);
  ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
  EXPECT_TRUE(WithoutBreaks(JoinPieces(options.newFolder)) ==
              WithoutBreaks(ReadFile(CorpusNovel())));
}

INSTANTIATE_TEST_SUITE_P(CorpusSplit, CorpusModes,
                         ::testing::Values(CorpusMode{"OneChapterEach", 0, 1, false},
                                           CorpusMode{"SevenChaptersEach", 0, 7, false},
                                           CorpusMode{"ThirteenKb", 1, 13, false},
                                           CorpusMode{"ThirteenKbKeepingLines", 1, 13, true},
                                           CorpusMode{"NineParts", 2, 9, false},
                                           CorpusMode{"NoSizeLimit", 1, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sekato::engine
