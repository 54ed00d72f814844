#include <gtest/gtest.h>

#include <filesystem>

#include "inspection.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Kind = NumberingIssue::Kind;

class InspectionTest : public ::testing::Test {
 protected:
  SplitOptions Novel(const char* keywords, const char* titleMax) {
    auto options = OptionsFor(CorpusNovel(), dir / "out");
    options.m_strKeywords = G(keywords);
    options.m_strTitleMax = titleMax;
    return options;
  }
  TempDir dir;
};

TEST_F(InspectionTest, ReportsTheRepeatedChapterOfTheSampleNovelAndWritesNothing) {
  const auto r = Inspection::Run(Novel("第 回", "30"), -1);
  ASSERT_EQ(r.status, InspectionResult::Status::Done);
  EXPECT_EQ(r.headingCount, 121);
  EXPECT_EQ(r.pieces, 121);
  ASSERT_EQ(r.numbering.size(), 1u);
  EXPECT_EQ(r.numbering[0].kind, Kind::Repeat);
  EXPECT_EQ(r.numbering[0].number, 35);
  EXPECT_EQ(r.numbering[0].lines, (std::vector<std::int64_t>{5976, 6106}));
  EXPECT_EQ(r.headings.back().number, 120);
  EXPECT_EQ(r.headings.back().line, 20341);
  EXPECT_EQ(r.nearMissCount, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST_F(InspectionTest, ListsWhatTheSplitWrites) {
  struct Case {
    const char* keywords;
    const char* titleMax;
    const char* perFile;
    int series;
    bool trim = false;
  };
  const std::vector<Case> cases = {
      {"第 回", "30", "1", -1}, {"第?回", "30", "1", 2}, {"第 回", "20", "3", -1},
      {"第  章", "20", "1", -1}, {"第 回", "24", "2", -1, true}};
  for (const auto& c : cases) {
    TempDir out;
    auto options = Novel(c.keywords, c.titleMax);
    options.m_strNewDir = out / "pieces";
    options.m_strChaptersPerFile = c.perFile;
    options.m_nNameMode = 2;
    options.m_bTrimSpaces = c.trim;
    const auto r = Inspection::Run(options, c.series);
    RecordingHost host;
    host.series = c.series;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
    const auto names = ListDir(out / "pieces");
    ASSERT_EQ(r.pieces, static_cast<std::int64_t>(names.size())) << c.keywords;
    for (const auto& h : r.headings) {
      if ((h.index - 1) % std::stoll(c.perFile) == 0) {
        EXPECT_EQ(h.file, names[static_cast<std::size_t>(h.piece - 1)]) << h.line;
      }
    }
  }
}

TEST_F(InspectionTest, NumberingReportsGapsRepeatsAndNumbersOutOfOrder) {
  const std::string source = dir / "book.txt";
  // Headings on lines 2, 4, 6, 8, 10, 12, 14: numbers 1 2 3 3 5 7 6.
  WriteFile(source, G("序\r\n第1章\r\na\r\n第二章\r\nb\r\n第三章\r\nc\r\n第三章\r\nd\r\n"
                      "第五章\r\ne\r\n第7章\r\nf\r\n第六章\r\ng"));
  auto options = OptionsFor(source, dir / "out");
  options.m_strChaptersPerFile = "2";
  const auto r = Inspection::Run(options, -1);
  ASSERT_EQ(r.headingCount, 7);
  ASSERT_EQ(r.numbering.size(), 3u);
  EXPECT_EQ(r.numbering[0].kind, Kind::Repeat);
  EXPECT_EQ(r.numbering[0].lines, (std::vector<std::int64_t>{6, 8}));
  EXPECT_EQ(r.numbering[1].kind, Kind::Gap);  // 4 missing; 6, skipped by 7, comes later
  EXPECT_EQ(r.numbering[1].number, 4);
  EXPECT_EQ(r.numbering[1].lines, (std::vector<std::int64_t>{8, 10}));
  EXPECT_EQ(r.numbering[2].kind, Kind::OutOfOrder);
  EXPECT_EQ(r.numbering[2].number, 6);
  EXPECT_EQ(r.numbering[2].heading, 7);
  EXPECT_EQ(r.prefaceBytes, 4);
  EXPECT_EQ(r.headings[0].offset, 4);
  EXPECT_EQ(r.headings[0].size, 10);
  EXPECT_EQ(r.headings[6].piece, 4);
  EXPECT_EQ(r.pieces, 4);
  EXPECT_EQ(r.largestPiece, 4 + 10 + 11);   // preface and chapters 1, 2
  EXPECT_EQ(r.smallestPiece, 9);            // chapter 6 alone, without a last line break
}

TEST_F(InspectionTest, SuggestsOptionsOnTheWindowsDefaults) {
  // The defaults look for 第…章: the book's 第N回 headings are the form to suggest.
  auto r = Inspection::Run(Novel("第  章", "20"), -1);
  EXPECT_EQ(r.headingCount, 0);
  ASSERT_FALSE(r.forms.empty());
  EXPECT_EQ(r.forms[0].label, "第N回");
  EXPECT_EQ(r.forms[0].lines, 121);
  EXPECT_EQ(r.forms[0].keywords, G("第 回"));
  const auto suggested = std::to_string(r.forms[0].titleMax);
  EXPECT_EQ(Inspection::Run(Novel("第 回", suggested.c_str()), -1).headingCount, 121);
  // With 第 回 most headings are longer than 20 characters: near misses tell the limit.
  r = Inspection::Run(Novel("第 回", "20"), -1);
  EXPECT_EQ(r.headingCount, 19);
  EXPECT_EQ(r.headingCount + r.nearMissCount, 121);
  EXPECT_EQ(r.suggestedTitleMax, r.forms.empty() ? 24 : 0);
  ASSERT_FALSE(r.nearMisses.empty());
  EXPECT_EQ(r.nearMisses[0].text.substr(0, 6), G("第一回"));
}

TEST_F(InspectionTest, RefusesWhatTheSplitRefuses) {
  auto options = Novel("第?回", "30");
  EXPECT_EQ(Inspection::Run(options, -1).status, InspectionResult::Status::Refused);
  options.m_strSrcPath = dir / "missing.txt";
  EXPECT_EQ(Inspection::Run(options, 2).status, InspectionResult::Status::Failed);
  bool asked = false;
  const auto r = Inspection::Run(Novel("第 回", "30"), -1, [&](std::int64_t, std::int64_t) {
    asked = true;
    return false;
  });
  EXPECT_TRUE(asked);
  EXPECT_EQ(r.status, InspectionResult::Status::Stopped);
}

}  // namespace
}  // namespace sekato::engine
