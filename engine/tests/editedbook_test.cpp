#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sekato/chapterscan.h"
#include "sekato/texttransform.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::G;
using test::OptionsFor;
using test::RecordingHost;
using test::TempDir;

// A GBK book kept in GBK is read as the book plus the lines the rules change. Each mode must
// cut it as it cuts a GBK book that was written with those lines changed: sizes, even parts,
// moved lines, clean-up and headings all see the changed text.
struct EditedCase {
  const char* what;
  SplitMode mode;
  bool keepLines;
  bool trim;
  bool byList = false;  ///< chapter mode by a list of the heading lines
};

class EditedBookTest : public testing::TestWithParam<EditedCase> {};

TEST_P(EditedBookTest, CutsAsTheChangedBook) {
  const EditedCase& c = GetParam();
  std::string book;
  std::string changed;
  ChapterList headings;
  for (int i = 0; i < 400; ++i) {
    const std::string body = "　　正文第" + std::to_string(i) + "行。";
    if (i % 40 == 0) {
      headings.entries.push_back({std::count(book.begin(), book.end(), '\n') + 1, {}});
      const std::string heading = "第" + std::to_string(i / 40 + 1) + "章 ";
      book += heading + "笔趣阁\r\n";
      changed += heading + "某站\r\n";
    }
    if (i % 7 == 0) {
      book += body + "本章未完，请点击下一页继续阅读\r\n(本章完)\r\n";
      changed += body + "\r\n\r\n";
    } else if (i % 97 == 0) {
      // A long line among the short ones.
      book += std::string(3000, 'x') + "笔趣阁\r\n";
      changed += std::string(3000, 'x') + "某站\r\n";
    } else {
      book += body + "\r\n";
      changed += body + "\r\n";
    }
  }
  std::vector<std::string> pieces[2];
  for (int plain = 0; plain < 2; ++plain) {
    TempDir dir;
    test::WriteFile(dir / "book.txt", G(plain ? changed : book));
    SplitOptions o = OptionsFor(dir / "book.txt", dir / "out");
    o.encoding = Encoding::Gbk;
    o.keywords = G("第 章");
    o.mode = c.mode;
    o.parts = 5;
    o.maxKb = 4;
    o.keepLines = c.keepLines;
    o.trimSpaces = c.trim;
    o.titleMax = 20;
    if (c.byList) o.toc = headings;
    if (!plain) {
      for (const char* rule : {"本章未完.*", "^\\(本章完\\)$", "笔趣阁=>某站"}) {
        o.replaceRules.push_back(ReplaceRuleText::Parse(rule, 1));
      }
    }
    RecordingHost host;
    ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << c.what << host.Message();
    for (const std::string& name : test::ListDir(dir / "out")) {
      pieces[plain].push_back(name + ":" + test::ReadFile(dir / ("out/" + name)));
    }
  }
  EXPECT_EQ(pieces[0], pieces[1]) << c.what;
  EXPECT_GT(pieces[0].size(), 2u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Modes, EditedBookTest,
                         testing::Values(EditedCase{"even", SplitMode::Evenly, false, false},
                                         EditedCase{"size", SplitMode::BySize, false, false},
                                         EditedCase{"keep lines", SplitMode::BySize, true, true},
                                         EditedCase{"chapter", SplitMode::ByChapter, false, false},
                                         EditedCase{"trim", SplitMode::ByChapter, false, true},
                                         EditedCase{"list", SplitMode::ByChapter, false, false,
                                                    true}),
                         [](const auto& info) {
                           std::string name = info.param.what;
                           for (char& ch : name) ch = ch == ' ' ? '_' : ch;
                           return name;
                         });

// When so many lines change that keeping them aside would take megabytes, the text is
// written out whole from there on, and cut the same.
TEST(EditedBook, ManyChangedLinesAreWrittenOut) {
  std::string book;
  std::string changed;
  for (int i = 0; i < 80000; ++i) {
    book += "正文第" + std::to_string(i) + "行，笔趣阁。\n";
    changed += "正文第" + std::to_string(i) + "行，某站。\n";
  }
  std::string joined[2];
  for (int plain = 0; plain < 2; ++plain) {
    TempDir dir;
    test::WriteFile(dir / "book.txt", G(plain ? changed : book));
    SplitOptions o = OptionsFor(dir / "book.txt", dir / "out");
    o.encoding = Encoding::Gbk;
    o.mode = SplitMode::BySize;
    o.maxKb = 300;
    if (!plain) o.replaceRules.push_back(ReplaceRuleText::Parse("笔趣阁=>某站", 1));
    RecordingHost host;
    ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
    for (const std::string& name : test::ListDir(dir / "out")) {
      joined[plain] += name + ":" + test::ReadFile(dir / ("out/" + name));
    }
  }
  EXPECT_TRUE(joined[0] == joined[1]);
}

// A replacement GBK cannot hold stops the run at its line: every line before it is in the
// pieces, and the message names the line and the piece.
TEST(EditedBook, UnwritableReplacementStopsAtItsLine) {
  TempDir dir;
  test::WriteFile(dir / "book.txt", G("第1章\n正文一\n笔趣阁\n正文二\n"));
  SplitOptions o = OptionsFor(dir / "book.txt", dir / "out");
  o.encoding = Encoding::Gbk;
  o.mode = SplitMode::BySize;
  o.replaceRules.push_back(ReplaceRuleText::Parse("笔趣阁=>\xF0\x9F\x98\x80", 1));
  RecordingHost host;
  EXPECT_EQ(test::Split(o, host), SplitOutcome::Failed);
  EXPECT_NE(host.Message().find("第 3 行"), std::string::npos) << host.Message();
  EXPECT_NE(host.Message().find("book_001.txt"), std::string::npos) << host.Message();
  EXPECT_EQ(test::JoinPieces(dir / "out"), G("第1章\r\n正文一"));
  const ScanResult listed = ChapterScan::Run(o);
  EXPECT_EQ(listed.status, ScanResult::Status::Failed);
}

}  // namespace
}  // namespace sekato::engine
