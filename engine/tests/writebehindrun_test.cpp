#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "sekato/chapterselection.h"
#include "sekato/splitrun.h"
#include "testsupport.h"
#include "textcodec.h"

// Runs with clean-up, whose pieces are written behind: what a stop or a failed write leaves.
namespace sekato::engine {
namespace {

using namespace test;

// A GBK book of `chapters` chapters of paragraphs parted by blank lines, with full-width
// spaces to widen: clean-up hands out a few KB at a time.
std::string ParagraphBook(int chapters) {
  const std::string indent = G("　　");
  const std::string words = G("天地玄黄宇宙洪荒日月盈昃辰宿列张");
  std::string book;
  for (int chapter = 1; chapter <= chapters; ++chapter) {
    book += G("第") + std::to_string(chapter) + G("章 起") + "\r\n";
    for (int paragraph = 0; paragraph < 12; ++paragraph) {
      book += indent;
      for (int i = 0; i < 40 + (chapter * 7 + paragraph * 13) % 90; ++i) book += words;
      book += paragraph % 3 == 0 ? "  \r\n\r\n" : "\r\n";
    }
  }
  return book;
}

// In chapter mode the writing thread cleans the runs up: the pieces are those of a split that
// takes the book line by line, in every encoding runs are cleaned in, whether pieces hold many
// chapters or one, are named after their titles, or leave chapters out. A long first chapter
// sets writing behind going, so later short pieces are written behind too.
TEST(WriteBehindRun, RunsCleanedBehindGiveThePiecesOfLineByLine) {
  TempDir dir;
  std::string book = ParagraphBook(60);
  const std::string chapter = ParagraphBook(1).substr(ParagraphBook(1).find('\n') + 1);
  std::string longChapter;
  while (longChapter.size() < (std::size_t{600} << 10)) longChapter += chapter;
  book.insert(book.find(G("第2章 起")), longChapter);
  struct Case {
    const char* name;
    std::int64_t perPiece;
    bool titles;
    const char* chapters;
  };
  const Case cases[] = {
      {"30 a piece", 30, false, ""},
      {"one a piece, title names", 1, true, ""},
      {"some chapters left out", 4, false, "1,3-20,27,40-"},
  };
  for (const Encoding encoding : {Encoding::Gbk, Encoding::Gb18030, Encoding::Utf8}) {
    WriteFile(dir / "src.txt", encoding == Encoding::Gbk
                                   ? book
                                   : *TextCodec::Convert(book, Encoding::Gbk, encoding));
    for (const Case& c : cases) {
      std::map<std::string, std::string> pieces[2];
      for (const bool runs : {false, true}) {
        SplitOptions options = OptionsFor(dir / "src.txt", dir / "out");
        options.encoding = encoding;
        options.trimSpaces = true;
        options.chaptersPerPiece = c.perPiece;
        if (c.titles) options.naming = PieceNaming::ChapterTitle;
        options.chapters = *ChapterSelection::Parse(c.chapters);
        RecordingHost host;
        SplitRun run(options, host);
        run.SetLineRuns(runs);
        ASSERT_EQ(Execute(run, host), SplitOutcome::Completed) << c.name << host.Message();
        pieces[runs] = FilesIn(dir / "out");
        std::filesystem::remove_all(dir / "out");
      }
      EXPECT_FALSE(pieces[true].empty());
      EXPECT_TRUE(pieces[false] == pieces[true]) << c.name << " " << Encodings::Name(encoding);
    }
  }
}

// A stop while full buffers are still queued leaves every piece as a run over the source up
// to where the stop fell leaves it: nothing queued is lost, nothing is written twice.
TEST(WriteBehindRun, AStopLeavesThePiecesOfWhatWasReadBeforeIt) {
  TempDir dir;
  const std::string book = ParagraphBook(400);
  ASSERT_GT(book.size(), std::size_t{3} << 20);
  WriteFile(dir / "src.txt", book);
  // GBK runs are cleaned where they are read, beside the writer; read as Big5, the same
  // bytes are cleaned line by line and read ahead, so that the reader, the run and the
  // writer all go at once.
  for (const Encoding encoding : {Encoding::Gbk, Encoding::Big5}) {
    const auto options = [&](const std::string& out) {
      SplitOptions made = OptionsFor(dir / "src.txt", out);
      made.encoding = encoding;
      made.trimSpaces = true;
      made.chaptersPerPiece = 150;
      return made;
    };
    for (const std::int64_t stopAt : {std::int64_t{40}, std::int64_t{300}, std::int64_t{1500}}) {
      const std::string stopped =
          dir / ("stopped" + std::to_string(stopAt) + std::string(Encodings::Name(encoding)));
      RecordingHost host;
      host.stopAfterPolls = stopAt;
      SplitRun run(options(stopped), host);
      run.SetReadAhead(0, std::size_t{1} << 16);
      ASSERT_EQ(Execute(run, host), SplitOutcome::Stopped) << stopAt;
      ASSERT_FALSE(host.positions.empty());
      // The same run over the bytes read before the stop, to its end.
      const auto read = static_cast<std::size_t>(host.positions.back());
      WriteFile(dir / "src.txt", book.substr(0, read));
      const std::string whole =
          dir / ("whole" + std::to_string(stopAt) + std::string(Encodings::Name(encoding)));
      RecordingHost wholeHost;
      ASSERT_EQ(Split(options(whole), wholeHost), SplitOutcome::Completed);
      WriteFile(dir / "src.txt", book);
      EXPECT_TRUE(FilesIn(stopped) == FilesIn(whole)) << stopAt << " " << Encodings::Name(encoding);
    }
  }
}

// A piece that fails after it was closed behind fails the run under its own name, while the
// pieces before it stay whole: the run does not say it is done before its last piece is on
// disk.
TEST(WriteBehindRun, APieceThatFailsBehindFailsTheRunUnderItsName) {
  TempDir dir;
  // Chapter 130 is long, so the second piece of a hundred chapters is the one too long.
  std::string book = ParagraphBook(250);
  const std::string longChapter = ParagraphBook(1).substr(ParagraphBook(1).find('\n') + 1);
  const std::string heading = G("第131章 起");
  std::string extra;
  while (extra.size() < (std::size_t{3} << 20)) extra += longChapter;
  book.insert(book.find(heading), extra);
  WriteFile(dir / "src.txt", book);
  SplitOptions options = OptionsFor(dir / "src.txt", dir / "out");
  options.trimSpaces = true;
  options.chaptersPerPiece = 100;
  {
    RecordingHost whole;
    ASSERT_EQ(Split(options, whole), SplitOutcome::Completed);
  }
  const auto sizes = FilesIn(dir / "out");
  ASSERT_EQ(sizes.size(), 3u);
  std::string second;
  std::size_t others = 0;
  for (const auto& [name, bytes] : sizes) {
    if (name.find("_002") != std::string::npos)
      second = name;
    else
      others = std::max(others, bytes.size());
  }
  ASSERT_GT(sizes.at(second).size(), others);
  const auto firstPiece = sizes.begin()->second;
  std::filesystem::remove_all(dir / "out");

  RecordingHost host;
  SplitOutcome outcome = SplitOutcome::Completed;
  {
    // Over only by its last bytes, which go out with its close, after the run moved on.
    const FileSizeLimit limit(sizes.at(second).size() - 100);
    outcome = Split(options, host);
  }
  EXPECT_EQ(outcome, SplitOutcome::Failed);
  EXPECT_NE(host.Message().find(second), std::string::npos) << host.Message();
  EXPECT_TRUE(ReadFile(dir / "out/" + sizes.begin()->first) == firstPiece);
}

}  // namespace
}  // namespace sekato::engine
