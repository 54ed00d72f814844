#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "sekato/messagecatalogue.h"
#include "siteaddresses.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

class SplitRunTest : public ::testing::Test {
 protected:
  SplitOptions Options(const std::string& bytes, const std::string& name = "src.txt") {
    WriteFile(dir / name, bytes);
    return OptionsFor(dir / name, dir / "out");
  }
  std::string Out(const std::string& name) { return ReadFile(dir / ("out/" + name)); }
  TempDir dir;
  RecordingHost host;
};

TEST_F(SplitRunTest, AnEmptySourceGivesOnePieceWithHeadTailAndPromotion) {
  auto options = Options("");
  options.addHead = options.addTail = true;
  options.head = "H";
  options.tail = "T";
  options.noPromotion = false;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(Out("src_001.txt"), "H\r\n\r\n\r\nT\r\n\r\n" +
                                    G(std::string(MessageCatalogue::kPromotion) + " ") +
                                    SiteAddresses::kHome);
  EXPECT_EQ(host.range, 0);
  EXPECT_EQ(host.Message(), "文件分割完成！");
}

TEST_F(SplitRunTest, CleanUpDropsBlankLinesAndKeepsLeadingSpacesAsAscii) {
  auto options = Options(G("\r\n　　第一章  \r\n \t　\r\n　　正文　\r\n"));
  options.trimSpaces = true;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(Out("src_001.txt"), G("    第一章\r\n    正文"));
  // Dropped lines move no progress: the start, then two kept lines.
  EXPECT_EQ(host.positions.size(), 3u);
}

TEST_F(SplitRunTest, BlankLinesAtTheStartOfAPieceWriteNothing) {
  auto options = Options("\r\n\r\nabc\r\n\r\ndef");
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(Out("src_001.txt"), "abc\r\n\r\ndef");
}

TEST_F(SplitRunTest, ProgressRunsFromTheStartToTheSourceLength) {
  auto options = Options("a\r\nbb\r\nccc");
  options.mode = SplitMode::BySize;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(host.range, 10);
  EXPECT_EQ(host.positions, (std::vector<std::int64_t>{0, 3, 7, 10}));
}

TEST_F(SplitRunTest, StopClosesThePieceWithoutItsEnding) {
  auto options = Options("one\r\ntwo\r\nthree\r\n");
  options.addTail = true;
  options.tail = "TAIL";
  options.noPromotion = false;
  // The flag is polled line by line, or once for a run of plain lines: here "two" and
  // "three" may come as one, so the stop falls after "one".
  host.stopAfterPolls = 1;
  ASSERT_EQ(Split(options, host), SplitOutcome::Stopped);
  EXPECT_EQ(host.Message(), "文件分割被终止！");
  EXPECT_EQ(Out("src_001.txt"), "one");
}

TEST_F(SplitRunTest, UnusableOptionsAreRefusedBeforeAnythingIsCreated) {
  struct Case {
    const char* what;
    std::function<void(SplitOptions&, RecordingHost&)> set;
    std::string message;
  };
  const std::string fifo = dir / "fifo.txt";
  const std::string upAndAway = Message{MessageId::BadNamePart, {"../x"}}.Text();
  const std::string up = Message{MessageId::BadNamePart, {".."}}.Text();
  const std::string fifoSource = Message{MessageId::NotRegularSource, {fifo}}.Text();
  const std::string deviceSource = Message{MessageId::NotRegularSource, {"/dev/zero"}}.Text();
  const auto namePart = [](const char* name) {
    return [name](SplitOptions& o, RecordingHost&) {
      o.naming = PieceNaming::Custom;
      o.customName = name;
    };
  };
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<Case> cases = {
      {"parts 0",
       [](SplitOptions& o, RecordingHost&) {
         o.mode = SplitMode::Evenly;
         o.parts = 0;
       },
       Message{MessageId::BadParts}.Text()},
      {"per -1", [](SplitOptions& o, RecordingHost&) { o.chaptersPerPiece = -1; },
       Message{MessageId::BadChaptersPerPiece}.Text()},
      {"11 keywords", [](SplitOptions& o, RecordingHost&) { o.keywords = "a b c d e f g h i j k"; },
       Message{MessageId::TooManyKeywords}.Text()},
      {"? without series", [](SplitOptions& o, RecordingHost&) { o.keywords = "?"; },
       Message{MessageId::NoNumeralSeries}.Text()},
      {"negative size",
       [](SplitOptions& o, RecordingHost&) {
         o.mode = SplitMode::BySize;
         o.maxKb = -1;
       },
       Message{MessageId::BadSize}.Text()},
      // An empty or mistyped size field reads as 0: a piece for every line, refused instead.
      {"size 0",
       [](SplitOptions& o, RecordingHost&) {
         o.mode = SplitMode::BySize;
         o.maxKb = 0;
       },
       Message{MessageId::BadSize}.Text()},
      {"negative title", [](SplitOptions& o, RecordingHost&) { o.titleMax = -5; },
       Message{MessageId::NegativeTitle}.Text()},
      {"no new dir", [](SplitOptions& o, RecordingHost&) { o.newFolder.clear(); },
       Message{MessageId::NoNewFolder}.Text()},
      // Piece names stay inside the folder.
      {"name ../x", namePart("../x"), upAndAway},
      {"name ..", namePart(".."), up},
      // A FIFO without writer would hold the run for ever, a device would never end.
      {"fifo source", [&](SplitOptions& o, RecordingHost&) { o.sourcePath = fifo; }, fifoSource},
      {"device source", [](SplitOptions& o, RecordingHost&) { o.sourcePath = "/dev/zero"; },
       deviceSource},
  };
  for (const auto& c : cases) {
    auto options = Options("text\r\n");
    RecordingHost refused;
    c.set(options, refused);
    EXPECT_EQ(Split(options, refused), SplitOutcome::Refused) << c.what;
    EXPECT_EQ(refused.Message(), c.message) << c.what;
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << c.what;
  }
  // Size and parts options are not looked at in chapter mode.
  auto chapter = Options("text\r\n");
  chapter.parts = 0;
  chapter.maxKb = -3;
  EXPECT_EQ(Split(chapter, host), SplitOutcome::Completed);
}

TEST_F(SplitRunTest, EmptyKeywordsAreRefusedOnlyInChapterMode) {
  auto options = Options("text\r\n");
  options.keywords = G("　 ");
  EXPECT_EQ(Split(options, host), SplitOutcome::Refused);
  EXPECT_EQ(host.Message(), "按章节分割时，关健字不能为空或空格");
  EXPECT_TRUE(ListDir(dir / "out").empty());  // the directory exists, nothing in it
  options.mode = SplitMode::BySize;
  RecordingHost size;
  EXPECT_EQ(Split(options, size), SplitOutcome::Completed);
}

TEST_F(SplitRunTest, ADirectoryBesideTheSourceNeedsAnExtension) {
  auto options = Options("text\r\n", "novel.txt");
  options.folder = FolderChoice::BesideSource;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "novel"), std::vector<std::string>{"novel_001.txt"});
  std::filesystem::create_directory(dir / "my.books");
  WriteFile(dir / "my.books/novel", "text\r\n");
  auto bare = OptionsFor(dir / "my.books/novel", "");
  bare.folder = FolderChoice::BesideSource;
  RecordingHost refused;
  EXPECT_EQ(Split(bare, refused), SplitOutcome::Refused);
  EXPECT_NE(refused.Message().find("没有扩展名"), std::string::npos);
  EXPECT_EQ(ListDir(dir / "my.books"), std::vector<std::string>{"novel"});
}

TEST_F(SplitRunTest, TheSourceIsNeverOverwritten) {
  // A custom name that reproduces the source's own name in its folder.
  const std::string text = std::string(3000, 'x') + "\r\n";
  auto options = Options(text, "a_002.txt");
  options.newFolder = dir.Path().string();
  options.naming = PieceNaming::Custom;
  options.customName = "a";
  options.mode = SplitMode::BySize;
  options.maxKb = 1;
  EXPECT_EQ(Split(options, host), SplitOutcome::Refused);
  EXPECT_EQ(ReadFile(dir / "a_002.txt"), text);
  EXPECT_FALSE(std::filesystem::exists(dir / "a_001.txt"));
  // A hard link under a piece's name is recognised when the piece is opened.
  auto linked = Options(text, "b.txt");
  linked.mode = SplitMode::BySize;
  linked.maxKb = 1;
  std::filesystem::create_directory(dir / "out");
  std::filesystem::create_hard_link(dir / "b.txt", dir / "out/b_002.txt");
  RecordingHost failed;
  EXPECT_EQ(Split(linked, failed), SplitOutcome::Failed);
  EXPECT_NE(failed.Message().find("b_002.txt"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "b.txt"), text);
}

TEST_F(SplitRunTest, InputAndOutputFailuresAreReportedWithTheFileAndReason) {
  auto missing = OptionsFor(dir / "nothing.txt", dir / "out");
  EXPECT_EQ(Split(missing, host), SplitOutcome::Failed);
  EXPECT_NE(host.Message().find("nothing.txt"), std::string::npos);
  EXPECT_NE(host.Message().find("No such file"), std::string::npos);

  // Missing levels are made; a level that is a file cannot be.
  auto underFile = Options("text\r\n");
  WriteFile(dir / "plain", "x");
  underFile.newFolder = dir / "plain/such/dir";
  RecordingHost dirHost;
  EXPECT_EQ(Split(underFile, dirHost), SplitOutcome::Failed);
  EXPECT_NE(dirHost.Message().find("plain/such/dir"), std::string::npos);
  EXPECT_NE(dirHost.Message().find("Not a directory"), std::string::npos) << dirHost.Message();

  // A link to a device at piece 003's name is never opened; piece 002 stays as written.
  auto full = Options(std::string(1500, 'x') + "\r\n" + std::string(1500, 'y'));
  full.mode = SplitMode::BySize;
  full.maxKb = 1;
  full.keepLines = true;
  std::filesystem::create_directory(dir / "out");
  std::filesystem::create_symlink("/dev/full", dir / "out/src_003.txt");
  RecordingHost fullHost;
  EXPECT_EQ(Split(full, fullHost), SplitOutcome::Failed);
  EXPECT_NE(fullHost.Message().find("src_003.txt"), std::string::npos);
  EXPECT_NE(fullHost.Message().find("符号链接"), std::string::npos);
  EXPECT_EQ(Out("src_002.txt"), std::string(1500, 'x') + "\r\n");
}

}  // namespace
}  // namespace sekato::engine
