#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Files = std::map<std::string, std::string>;

// A book split by a list of its lines; `copies`: the book is one the split copies by byte
// ranges, else it must go line by line.
struct Book {
  const char* name;
  std::string bytes;
  std::vector<std::int64_t> lines;
  bool copies;
  Encoding encoding = Encoding::Gbk;
};

// How the pieces around the book's bytes are laid out.
struct Layout {
  std::int64_t per;
  bool head;
  bool promotion;
  bool titles;
};

const Layout kLayouts[] = {
    {1, false, false, false}, {1, true, true, true},  {2, false, true, true},
    {2, true, false, false},  {3, false, false, true}, {1, false, true, false},
};

class RangeCopies : public ::testing::TestWithParam<Book> {
 protected:
  // The split of the book by its list, copying ranges or not, and writing them while the
  // list is checked or after: what it ended with.
  SplitEnd Run(const Layout& layout, bool copies, const std::string& out, RecordingHost& host,
               bool whileChecked = true) {
    const Book& book = GetParam();
    auto options = OptionsFor(dir / "book.txt", out);
    options.encoding = book.encoding;
    options.chaptersPerPiece = layout.per;
    options.addHead = options.addTail = layout.head;
    options.head = "HEAD\nTWO";
    options.tail = "TAIL";
    options.noPromotion = !layout.promotion;
    options.naming = layout.titles ? PieceNaming::ChapterTitle : PieceNaming::SourceTitle;
    ChapterList list;
    for (const std::int64_t line : book.lines) {
      list.entries.push_back({line, "章" + std::to_string(line)});
    }
    options.toc = list;
    SplitRun run(options, host);
    run.SetRangeCopies(copies);
    run.SetHeldPieces(whileChecked);
    const SplitEnd end = run.Execute();
    // The buffer that reads lines is never filled when the pieces are copied.
    m_copied = run.LargestBuffer() == 0;
    return end;
  }
  TempDir dir;
  bool m_copied = false;
};

TEST_P(RangeCopies, WriteThePiecesLineByLineWouldByteForByte) {
  const Book& book = GetParam();
  WriteFile(dir / "book.txt", book.bytes);
  for (const Layout& layout : kLayouts) {
    const std::string label = "per " + std::to_string(layout.per) +
                              (layout.head ? " head" : "") + (layout.titles ? " titles" : "") +
                              (layout.promotion ? " promotion" : "");
    std::filesystem::remove_all(dir / "lines");
    RecordingHost byLine;
    const SplitEnd expected = Run(layout, false, dir / "lines", byLine);
    ASSERT_EQ(expected.outcome, SplitOutcome::Completed) << label << expected.message.Text();
    for (const bool whileChecked : {true, false}) {
      const std::string way = label + (whileChecked ? " while checked" : " after the check");
      std::filesystem::remove_all(dir / "ranges");
      RecordingHost byRange;
      const SplitEnd got = Run(layout, true, dir / "ranges", byRange, whileChecked);
      ASSERT_EQ(got.outcome, SplitOutcome::Completed) << way << got.message.Text();
      EXPECT_EQ(m_copied, book.copies) << way;
      EXPECT_EQ(FilesIn(dir / "ranges"), FilesIn(dir / "lines")) << way;
      EXPECT_EQ(got.tally.pieces, expected.tally.pieces) << way;
      EXPECT_EQ(got.tally.headings, expected.tally.headings) << way;
      EXPECT_EQ(byRange.warnings, byLine.warnings) << way;
      EXPECT_EQ(byRange.range, byLine.range) << way;
      EXPECT_EQ(byRange.positions.back(), byLine.positions.back()) << way;
    }
  }
}

std::string LongLine() { return std::string(3u << 20, 'x'); }

INSTANTIATE_TEST_SUITE_P(
    Books, RangeCopies,
    ::testing::Values(
        Book{"Preface", G("序\r\n第一章\r\n甲\r\n第二章\r\n乙\r\n第三章\r\n丙\r\n"), {2, 4, 6}, true},
        Book{"NoPrefaceNoLastFeed", G("第一章\r\n甲\r\n第二章\r\n乙"), {1, 3}, true},
        Book{"EndsInEmptyLines", G("第一章\r\n甲\r\n第二章\r\n乙\r\n\r\n\r\n"), {1, 3}, true},
        Book{"EmptyLinesWithin", G("序\r\n\r\n第一章\r\n\r\n\r\n甲\r\n第二章\r\n"), {3, 7}, true},
        Book{"LoneCrs", "a\rb\r\nc1\r\r\nd\r\nc2\r\ne\r", {2, 4}, true},
        Book{"OneLine", G("第一章"), {1}, true},
        Book{"LastLineListed", G("甲\r\n乙\r\n丙"), {1, 3}, true},
        Book{"LongLines", "a\r\n" + LongLine() + "\r\nb\r\n" + LongLine(), {2, 3, 4}, true},
        Book{"Utf8", "序\r\n第一章\r\n甲\r\n第二章\r\n乙\r\n", {2, 4}, true, Encoding::Utf8},
        // The split would change these, so they go line by line.
        Book{"BareFeed", G("序\n第一章\r\n甲\r\n第二章\r\n"), {2, 4}, false},
        Book{"ListedLineEmpty", G("序\r\n\r\n第一章\r\n甲\r\n\r\n第二章\r\n"), {2, 5}, false},
        Book{"FirstLineEmpty", G("\r\n第一章\r\n甲\r\n第二章\r\n"), {2, 4}, false},
        Book{"Utf8Invalid", "序\r\n第一章\r\n\xff\r\n第二章\r\n", {2, 4}, false, Encoding::Utf8}),
    [](const auto& info) { return std::string(info.param.name); });

class RangeCopyRun : public ::testing::Test {
 protected:
  SplitOptions Book() {
    std::string text = G("序\r\n");
    for (int i = 1; i <= 20; ++i) text += G("第") + std::to_string(i) + G("章\r\n正文\r\n");
    WriteFile(dir / "book.txt", text);
    auto options = OptionsFor(dir / "book.txt", dir / "out");
    ChapterList list;
    for (std::int64_t line = 2; line <= 40; line += 2) list.entries.push_back({line, {}});
    options.toc = list;
    return options;
  }
  TempDir dir;
  RecordingHost host;
};

TEST_F(RangeCopyRun, AStopBetweenPiecesKeepsThoseWritten) {
  host.stopAfterPolls = 5;
  SplitRun run(Book(), host);
  run.SetHeldPieces(false);  // copied after the check, piece by piece
  ASSERT_EQ(Execute(run, host), SplitOutcome::Stopped);
  EXPECT_EQ(run.LargestBuffer(), 0u);
  // Each piece looks once: the sixth look, in piece 6, stops the run, which keeps it.
  EXPECT_EQ(host.tally.pieces, 6);
  EXPECT_EQ(ListDir(dir / "out").size(), 6u);
}

TEST_F(RangeCopyRun, AListForAnotherBookIsRefusedBeforeAnythingIsWritten) {
  auto options = Book();
  options.toc->sourceBytes = 1;
  SplitRun run(options, host);
  EXPECT_EQ(Execute(run, host), SplitOutcome::Refused);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

// Cuts the book short at its first look at the run, after the check of the list read it
// whole: the pieces are copied from a book that ends sooner than the check saw.
class ShrinkingHost final : public SplitHost {
 public:
  ShrinkingHost(std::string path, std::int64_t to) : m_path(std::move(path)), m_to(to) {}
  bool Progress(std::int64_t, std::int64_t) override {
    if (!m_bCut) std::filesystem::resize_file(m_path, static_cast<std::uintmax_t>(m_to));
    m_bCut = true;
    return true;
  }
  void ReportEncoding(Encoding, bool) override {}
  void Warn(const engine::Message&) override {}

 private:
  std::string m_path;
  std::int64_t m_to;
  bool m_bCut = false;
};

TEST_F(RangeCopyRun, ASourceCutShortEndsTheRunAndNamesThePieceItCutShortAfterItsOwnTitle) {
  const std::string book = G("序\r\n第一章\r\n甲\r\n第二章\r\n乙乙乙乙\r\n第三章\r\n丙\r\n");
  WriteFile(dir / "book.txt", book);
  auto options = OptionsFor(dir / "book.txt", dir / "out");
  options.naming = PieceNaming::ChapterTitle;
  options.noPromotion = true;
  ChapterList list;
  list.entries = {{2, "T2"}, {4, "T4"}, {6, "T6"}};
  options.toc = list;
  ShrinkingHost host(dir / "book.txt", 28);  // within the line of 乙
  SplitRun run(options, host);
  run.SetHeldPieces(false);  // copied after the check
  const SplitEnd end = run.Execute();
  EXPECT_EQ(end.outcome, SplitOutcome::Failed);
  EXPECT_EQ(end.message.id, MessageId::SourceShrank);
  EXPECT_EQ(end.message.args.at(1), std::to_string(book.size()));
  EXPECT_EQ(end.message.args.at(2), "28");
  EXPECT_EQ(FilesIn(dir / "out"),
            (Files{{"001_T2.txt", book.substr(0, 16)}, {"002_T4.txt", book.substr(16, 12)}}));
}

}  // namespace
}  // namespace sekato::engine
