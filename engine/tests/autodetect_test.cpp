#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sekato/chapterscan.h"
#include "sekato/numerals.h"
#include "sekato/scanreport.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::TempDir;

std::string Chinese(std::int64_t n) {
  return TextCodec::Convert(Numerals::Text(n, Numerals::Series::Chinese), Encoding::Gbk,
                            Encoding::Utf8)
      .value();
}

/// A UTF-8 book (CR LF) and the line each piece after the first must open with.
struct Book {
  std::string text;
  std::vector<std::string> openers;
  void Line(const std::string& line) { text += line + "\r\n"; }
  void Body() {
    Line("　　山风吹过，他站在崖边，看着远处的云海慢慢散开，心里想着明天的事。");
    Line("　　第三天，天刚亮他就起来了。");
    Line("　　他把第二章节又读了一遍。");
  }
};

/// Three volumes of four chapters each, numbered on or from 1 in each volume.
Book Volumes(bool restart) {
  Book book;
  book.Line("简介：一个故事。");
  int chapter = 0;
  for (int volume = 1; volume <= 3; ++volume) {
    const std::string heading = "第" + Chinese(volume) + "卷 风云";
    book.Line(heading);
    if (volume > 1) book.openers.push_back(heading);  // it opens its first chapter's piece
    if (restart) chapter = 0;
    for (int n = 0; n < 4; ++n) {
      const std::string line = "第" + Chinese(++chapter) + "章 标题";
      book.Line(line);
      if (volume > 1 ? n > 0 : chapter > 1) book.openers.push_back(line);
      book.Body();
    }
  }
  return book;
}

/// A contents block of 8 headings under 目录 in front of the same 8 chapters.
Book Contents() {
  Book book;
  book.Line("目录");
  for (int n = 1; n <= 8; ++n) book.Line("第" + std::to_string(n) + "章 标题" + std::to_string(n));
  for (int n = 1; n <= 8; ++n) {
    const std::string line = "第" + std::to_string(n) + "章 标题" + std::to_string(n);
    book.Line(line);
    if (n > 1) book.openers.push_back(line);
    book.Body();
  }
  return book;
}

/// Chapters 95 to 104, as the second file of a long book begins, the numbers spoken where
/// they can be (一百 for 100).
Book FromNinetyFive() {
  Book book;
  book.Line("简介：接上文。");
  for (int n = 95; n <= 104; ++n) {
    const std::string line = "第" + Chinese(n) + "章 标题";
    book.Line(line);
    if (n > 95) book.openers.push_back(line);
    book.Body();
  }
  return book;
}

/// The first line of each piece after the first, and how many pieces there are.
std::vector<std::string> Openers(const std::string& dir) {
  std::vector<std::string> openers;
  const auto files = test::ListDir(dir);
  for (std::size_t i = 1; i < files.size(); ++i) {
    const std::string text = test::ReadFile(dir + "/" + files[i]);
    openers.push_back(text.substr(0, text.find("\r\n")));
  }
  return openers;
}

struct AutoCase {
  const char* name;
  Book (*make)();
};

class AutoSplit : public testing::TestWithParam<AutoCase> {};

TEST_P(AutoSplit, CutsAtEveryChapterAndTheOptionsItPrintsCutAlike) {
  TempDir dir;
  const Book book = GetParam().make();
  test::WriteFile(dir / "book.txt", book.text);
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "auto");
  options.autoDetect = true;
  test::RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(Openers(dir / "auto"), book.openers);

  // The chapter list finds the same, and says how to split alike without detection.
  const ScanResult listed = ChapterScan::Run(options);
  ASSERT_TRUE(listed.detected && listed.detection.found);
  EXPECT_EQ(listed.pieces, static_cast<std::int64_t>(book.openers.size()) + 1);
  SplitOptions byRule = test::OptionsFor(dir / "book.txt", dir / "rule");
  byRule.regex = listed.detection.chapters.pattern;
  byRule.volumeRegex = listed.detection.volumes.pattern;
  byRule.headingsFrom = listed.detection.contentsLast > 0 ? listed.detection.contentsLast + 1 : 0;
  byRule.titleMax = listed.titleMax;
  byRule.firstNumber = listed.detection.firstNumber;
  ASSERT_EQ(test::Split(byRule, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(test::JoinPieces(dir / "rule"), test::JoinPieces(dir / "auto"));
  EXPECT_EQ(test::ListDir(dir / "rule"), test::ListDir(dir / "auto"));
}

INSTANTIATE_TEST_SUITE_P(
    Books, AutoSplit,
    testing::Values(AutoCase{"VolumesNumberedOn", [] { return Volumes(false); }},
                    AutoCase{"VolumesNumberedAgain", [] { return Volumes(true); }},
                    AutoCase{"ContentsInFront", Contents},
                    AutoCase{"StartsAtChapterNinetyFive", FromNinetyFive}),
    [](const testing::TestParamInfo<AutoCase>& info) { return info.param.name; });

TEST(AutoSplit, SampleNovelGivesItsHundredAndTwentyPieces) {
  TempDir dir;
  SplitOptions options = test::OptionsFor(test::CorpusNovel(), dir / "out");
  options.autoDetect = true;
  test::RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  // Chapter 35's repeated heading is body text.
  EXPECT_EQ(test::ListDir(dir / "out").size(), 120U);
  const ScanResult listed = ChapterScan::Run(options);
  EXPECT_EQ(ScanReport::Detection(listed), "自动识别：第N回（中文数字），共 120 回");
}

TEST(AutoSplit, ProgressRunsOnceFromStartToEndOverBothPasses) {
  TempDir dir;
  const Book book = Volumes(true);
  test::WriteFile(dir / "book.txt", book.text);
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.autoDetect = true;
  test::RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  const auto length = static_cast<std::int64_t>(book.text.size());
  // Detection is the first half, the split the second; positions only ever go forward.
  EXPECT_EQ(host.range, 2 * length);
  ASSERT_FALSE(host.positions.empty());
  EXPECT_EQ(host.positions.back(), 2 * length);
  EXPECT_TRUE(std::any_of(host.positions.begin(), host.positions.end(),
                          [&](std::int64_t at) { return at > 0 && at <= length; }));
}

TEST(AutoSplit, ABookWithoutNumberedHeadingsIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  Book book;
  for (int n = 0; n < 20; ++n) book.Body();
  test::WriteFile(dir / "book.txt", book.text);
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.autoDetect = true;
  test::RecordingHost host;
  EXPECT_EQ(test::Split(options, host), SplitOutcome::Refused);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

}  // namespace
}  // namespace sekato::engine
