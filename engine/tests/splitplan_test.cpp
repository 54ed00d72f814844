#include <gtest/gtest.h>

#include <functional>

#include "sekato/chapterscan.h"
#include "sekato/messagecatalogue.h"
#include "piecenamer.h"
#include "splitplan.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;
using test::OptionsFor;
using test::RecordingHost;
using test::TempDir;

// The chapter list refuses chapter settings with the split's own words, whatever the mode;
// settings of other modes refuse only a split in that mode.
TEST(SplitPlan, TheChapterListAndTheSplitRefuseChapterSettingsAlike) {
  TempDir dir;
  test::WriteFile(dir / "src.txt", G("第1章\r\n正文\r\n"));
  struct Case {
    const char* what;
    std::function<void(SplitOptions&)> set;
    MessageId split;  ///< what a split says
    bool listed;      ///< the chapter list says the same
  };
  const std::vector<Case> cases = {
      {"per 0", [](SplitOptions& o) { o.chaptersPerPiece = 0; }, MessageId::BadChaptersPerPiece,
       true},
      {"title -1", [](SplitOptions& o) { o.titleMax = -1; }, MessageId::NegativeTitle, true},
      {"11 keywords", [](SplitOptions& o) { o.keywords = "a b c d e f g h i j k"; },
       MessageId::TooManyKeywords, true},
      {"? without series", [](SplitOptions& o) { o.keywords = G("第?章"); },
       MessageId::NoNumeralSeries, true},
      {"no keywords", [](SplitOptions& o) { o.keywords = "  "; }, MessageId::EmptyKeywords, true},
      {"parts 0 in even mode",
       [](SplitOptions& o) {
         o.mode = SplitMode::Evenly;
         o.parts = 0;
       },
       MessageId::BadParts, false},
      {"no folder", [](SplitOptions& o) { o.newFolder.clear(); }, MessageId::NoNewFolder, false},
  };
  for (const Case& c : cases) {
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    c.set(options);
    RecordingHost host;
    const SplitOutcome outcome = test::Split(options, host);
    EXPECT_EQ(outcome, SplitOutcome::Refused) << c.what;
    EXPECT_EQ(host.Message(), Message(c.split).Text()) << c.what;
    const ScanResult listed = ChapterScan::Run(options);
    if (c.listed) {
      EXPECT_EQ(listed.status, ScanResult::Status::Refused) << c.what;
      EXPECT_EQ(listed.error, Message(c.split)) << c.what;
    } else {
      EXPECT_EQ(listed.status, ScanResult::Status::Done) << c.what;
    }
  }
}

TEST(PieceNamer, NamesPiecesByNumberOrByTheirFirstChapterTitle) {
  struct Case {
    const char* namePart;
    bool byTitle;
    std::int64_t number;
    const char* utf8Title;
    const char* name;
  };
  for (const Case& c : {
           Case{"novel", false, 3, "第三章 夜雨", "novel_003.txt"},
           Case{"novel", true, 3, "第三章 夜雨", "003_第三章 夜雨.txt"},
           Case{"novel", true, 1234, "尾声", "1234_尾声.txt"},
           // A title that cannot name a file on every device keeps the sequence name.
           Case{"novel", true, 3, "第三章 夜:雨", "novel_003.txt"},
           Case{"novel", true, 3, "第三章 A/B", "novel_003.txt"},
           // "002_003.txt" would be emptied when piece 3 of name part "002" is opened.
           Case{"002", true, 2, "003", "002_002.txt"},
       }) {
    const PieceNamer namer(c.namePart, c.byTitle);
    EXPECT_EQ(namer.FinalName(c.number, G(c.utf8Title), Encoding::Gbk), c.name) << c.utf8Title;
    EXPECT_EQ(namer.FinalName(c.number, c.utf8Title, Encoding::Utf8), c.name) << c.utf8Title;
  }
}

// What the chapter list says a piece will be called is what the split calls it.
TEST(PieceNamer, TheChapterListNamesPiecesAsTheSplitDoes) {
  TempDir dir;
  // Piece 1's title name "001_005.txt" is a sequence name of name part "001"; piece 2's
  // title cannot name a file.
  test::WriteFile(dir / "001.txt", G("005\r\n甲\r\n第0章 夜:雨\r\n乙\r\n007\r\n丙\r\n"));
  auto options = OptionsFor(dir / "001.txt", dir / "out");
  options.sourceTitle = "001";
  options.keywords = "0";
  options.naming = PieceNaming::ChapterTitle;
  const ScanResult listed = ChapterScan::Run(options);
  ASSERT_EQ(listed.status, ScanResult::Status::Done) << listed.error.Text();
  RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed);
  std::vector<std::string> names;
  for (const ScannedHeading& heading : listed.headings) names.push_back(heading.file);
  EXPECT_EQ(names, test::ListDir(dir / "out"));
  EXPECT_EQ(names, (std::vector<std::string>{"001_001.txt", "001_002.txt", "003_007.txt"}));
}

TEST(Message, TextFillsTheArgumentsAndJoinsWhatFollows) {
  struct Case {
    Message message;
    const char* text;
  };
  Message cutShort(MessageId::ReadSource, {"/b/n.txt", "Input/output error"});
  cutShort.then.push_back({MessageId::PieceCutShort, {"/b/n/n_004.txt"}});
  Message stoppedThen(MessageId::Stopped);
  stoppedThen.then.push_back({MessageId::PieceCutShort, {"p"}});
  for (const Case& c : {
           Case{{MessageId::Completed}, "文件分割完成！"},
           Case{{MessageId::OpenSource, {"/b/n.txt", "No such file"}},
                "无法打开源文件“/b/n.txt”：No such file"},
           // An argument that looks like a placeholder is put in as it is.
           Case{{MessageId::BadNamePart, {"%2"}}, "文件名“%2”不能含有“/”，也不能是“.”或“..”。"},
           // A missing argument leaves nothing, not the placeholder.
           Case{{MessageId::OpenSource, {"/b/n.txt"}}, "无法打开源文件“/b/n.txt”："},
           Case{cutShort,
                "读取源文件“/b/n.txt”时出错：Input/output error。文件“/b/n/n_004.txt”在出错处中断，"
                "没有写完。"},
           Case{stoppedThen, "文件分割被终止！文件“p”在出错处中断，没有写完。"},
       }) {
    EXPECT_EQ(c.message.Text(), c.text);
  }
}

TEST(MessageCatalogue, EveryMessageHasItsTextAndNoUnfilledPlaceholderBeyondNine) {
  for (int id = 0; id <= static_cast<int>(MessageId::TooManyChapters); ++id) {
    const std::string_view text = MessageCatalogue::Chinese(static_cast<MessageId>(id));
    EXPECT_FALSE(text.empty()) << id;
    EXPECT_EQ(MessageCatalogue::Format(text, {}).find("%"), std::string::npos) << id;
  }
}

}  // namespace
}  // namespace sekato::engine
