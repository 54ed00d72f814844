#include <gtest/gtest.h>
#include <xxhash.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "runfinder.h"
#include "sekato/chapterscan.h"
#include "sekato/chapterselection.h"
#include "sekato/gbkcodec.h"
#include "sekato/splitrun.h"
#include "sourcefingerprint.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Files = std::map<std::string, std::string>;

// The list the chapter list gives for `options`, as --list --json carries it.
ChapterList ListOf(const SplitOptions& options) {
  ChapterList list;
  const ScanResult scan = ChapterScan::Run(options);
  for (const auto& h : scan.headings) list.entries.push_back({h.line, {}});
  list.sourceBytes = scan.sourceBytes;
  list.hash = ChapterScan::SourceHash(options.sourcePath);
  return list;
}

ChapterList Lines(std::vector<std::int64_t> lines) {
  ChapterList list;
  for (const std::int64_t line : lines) list.entries.push_back({line, {}});
  return list;
}

// Seven chapters after a preface; line 1 the preface, chapter k on line 2k.
std::string SevenChapters() {
  std::string text = "序言\r\n";
  const char* numbers[] = {"一", "二", "三", "四", "五", "六", "七"};
  for (const char* n : numbers)
    text += std::string("第") + n + "章 题" + n + "\r\n正文" + n + "\r\n";
  return text;
}

// How a split by a rule is varied: the list it finds must cut the same pieces.
struct Variant {
  const char* name;
  std::int64_t per;
  bool trim;
  bool titles;
  bool head;
  Encoding to;
  bool runs;
  bool corpus;  ///< the sample novel with 第 回, else a random book with 第 章
};

class TocMatchesRule : public ::testing::TestWithParam<Variant> {};

TEST_P(TocMatchesRule, ListFoundByTheRuleCutsTheSamePiecesByteForByte) {
  const Variant& v = GetParam();
  TempDir dir;
  std::string source = dir / "book.txt";
  if (v.corpus) {
    std::filesystem::copy_file(CorpusNovel(), source);
  } else {
    std::string book;
    for (unsigned seed = 1; seed <= 6; ++seed) book += RandomBook(seed) + G("\r\n　　\r\n");
    WriteFile(source, book);
  }
  auto options = OptionsFor(source, dir / "rule");
  if (v.corpus) {
    options.keywords = G("第 回");
    options.titleMax = 30;
  }
  options.chaptersPerPiece = v.per;
  options.trimSpaces = v.trim;
  options.naming = v.titles ? PieceNaming::ChapterTitle : PieceNaming::SourceTitle;
  options.addHead = options.addTail = v.head;
  options.head = "HEAD";
  options.tail = "TAIL";
  options.outEncoding = v.to;
  RecordingHost host;
  SplitRun rule(options, host);
  rule.SetLineRuns(v.runs);
  ASSERT_EQ(Execute(rule, host), SplitOutcome::Completed) << host.Message();

  auto listed = options;
  listed.newFolder = dir / "list";
  listed.toc = ListOf(options);
  ASSERT_FALSE(listed.toc->entries.empty());
  SplitRun byList(listed, host);
  byList.SetLineRuns(v.runs);
  ASSERT_EQ(Execute(byList, host), SplitOutcome::Completed) << host.messages.back().second;
  const Files expected = FilesIn(dir / "rule");
  EXPECT_GT(expected.size(), 1u);
  const Files got = FilesIn(dir / "list");
  EXPECT_EQ(got.size(), expected.size());
  for (const auto& [name, bytes] : expected) {
    const auto piece = got.find(name);
    EXPECT_TRUE(piece != got.end() && piece->second == bytes) << "piece " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sweep, TocMatchesRule,
    ::testing::Values(
        Variant{"Plain", 1, false, false, false, Encoding::Auto, true, false},
        Variant{"LineByLine", 1, false, false, false, Encoding::Auto, false, false},
        Variant{"PerThreeTrimmed", 3, true, false, true, Encoding::Auto, true, false},
        Variant{"TitlesToUtf8", 2, false, true, false, Encoding::Utf8, true, true},
        Variant{"CorpusTitles", 1, false, true, true, Encoding::Auto, true, true},
        Variant{"CorpusTrimPerFive", 5, true, false, false, Encoding::Auto, true, true},
        Variant{"CorpusToUtf16", 1, false, false, false, Encoding::Utf16Le, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

class TocSplit : public ::testing::Test {
 protected:
  SplitOptions Options(const std::string& utf8) {
    const std::string path = dir / "src.txt";
    WriteFile(path, G(utf8));
    return OptionsFor(path, dir / "out");
  }
  Files Out() {
    Files files;
    for (const auto& [name, bytes] : FilesIn(dir / "out")) {
      files[name] = *GbkCodec::ToUtf8(bytes);
    }
    return files;
  }
  TempDir dir;
  RecordingHost host;
};

TEST_F(TocSplit, EditedListsCutAtTheirLinesAndTitlesOnlyRenamePieces) {
  const std::string text = "序言\r\n第一章 甲\r\n正文\r\n尾声\r\n第二章 乙\r\n完\r\n";
  struct Case {
    const char* name;
    ChapterList list;
    Files expected;
  };
  ChapterList retitled = Lines({2, 5});
  retitled.entries[1].title = "后/记";  // the slash never reaches the file name
  ChapterList renamed = Lines({2, 5});
  renamed.entries[0].title = "开端";
  const Case cases[] = {
      {"removed",
       Lines({2}),
       {{"001_第一章 甲.txt", "序言\r\n第一章 甲\r\n正文\r\n尾声\r\n第二章 乙\r\n完"}}},
      {"added",
       Lines({2, 4, 5}),
       {{"001_第一章 甲.txt", "序言\r\n第一章 甲\r\n正文\r\n"},
        {"002_尾声.txt", "尾声\r\n"},
        {"003_第二章 乙.txt", "第二章 乙\r\n完"}}},
      {"retitled unsafe",
       retitled,
       {{"001_第一章 甲.txt", "序言\r\n第一章 甲\r\n正文\r\n尾声\r\n"},
        {"src_002.txt", "第二章 乙\r\n完"}}},
      {"retitled",
       renamed,
       {{"001_开端.txt", "序言\r\n第一章 甲\r\n正文\r\n尾声\r\n"},
        {"002_第二章 乙.txt", "第二章 乙\r\n完"}}},
      {"empty list",
       ChapterList{},
       {{"001_.txt", "序言\r\n第一章 甲\r\n正文\r\n尾声\r\n第二章 乙\r\n完"}}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "out");
    auto options = Options(text);
    options.naming = PieceNaming::ChapterTitle;
    options.toc = c.list;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << c.name;
    EXPECT_EQ(Out(), c.expected) << c.name;
    EXPECT_EQ(host.tally.headings, static_cast<std::int64_t>(c.list.entries.size())) << c.name;
  }
}

TEST_F(TocSplit, ListedLinesCleanUpDropsOpenAtTheNextLineKept) {
  auto options = Options("甲\r\n   \r\n第二章\r\n乙\r\n");
  options.trimSpaces = true;
  options.toc = Lines({1, 2});
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(Out(), (Files{{"src_001.txt", "甲\r\n"}, {"src_002.txt", "第二章\r\n乙"}}));
}

TEST_F(TocSplit, AListedLineTooLongToHoldCutsBeforeItsFirstPart) {
  const std::string long_line(5000, 'x');
  auto options = Options("a\r\n" + long_line + "\r\nb\r\n");
  options.toc = Lines({1, 2});
  SplitRun run(options, host);
  run.SetPartLimit(1024);
  ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
  EXPECT_EQ(Out(), (Files{{"src_001.txt", "a\r\n"}, {"src_002.txt", long_line + "\r\nb"}}));
}

TEST_F(TocSplit, BadListsAreRefusedBeforeAnythingIsWritten) {
  const std::string text = "甲\r\n乙\r\n丙";  // three lines
  const std::string lines = "3";
  auto base = Options(text);
  const ChapterList good = ListOf(base);
  struct Case {
    const char* name;
    ChapterList list;
    bool force;
    Message refusal;
  };
  ChapterList resized = Lines({1});
  resized.sourceBytes = 99;
  ChapterList rehashed = Lines({1});
  rehashed.hash = "0123456789abcdef";
  ChapterList forcedTooFar = Lines({1, 4});
  forcedTooFar.sourceBytes = 99;
  const std::string path = base.sourcePath;
  const Case cases[] = {
      {"other size", resized, false, {MessageId::TocOtherBook, {path}}},
      {"other hash", rehashed, false, {MessageId::TocOtherBook, {path}}},
      {"line 0", Lines({0}), false, {MessageId::TocLineOutOfRange, {"1", "0", lines}}},
      {"past the end", Lines({1, 4}), false, {MessageId::TocLineOutOfRange, {"2", "4", lines}}},
      {"forced past the end",
       forcedTooFar,
       true,
       {MessageId::TocLineOutOfRange, {"2", "4", lines}}},
      {"repeated", Lines({1, 2, 2}), false, {MessageId::TocNotAscending, {"3", "2", "2"}}},
      {"descending", Lines({3, 1}), false, {MessageId::TocNotAscending, {"2", "1", "3"}}},
  };
  for (const Case& c : cases) {
    auto options = base;
    options.toc = c.list;
    options.force = c.force;
    SplitRun run(options, host);
    const SplitEnd end = run.Execute();
    EXPECT_EQ(end.outcome, SplitOutcome::Refused) << c.name;
    EXPECT_EQ(end.message, c.refusal) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << c.name;
  }
  // Forced, a list for another book is taken while its lines are there.
  auto forced = base;
  forced.toc = resized;
  forced.force = true;
  EXPECT_EQ(Split(forced, host), SplitOutcome::Completed);
  // The list made for this very book is taken as it is.
  std::filesystem::remove_all(dir / "out");
  forced.toc = good;
  forced.force = false;
  EXPECT_EQ(Split(forced, host), SplitOutcome::Completed);
}

TEST_F(TocSplit, ChosenChaptersKeepTheirFullSplitNumbers) {
  struct Case {
    const char* chapters;
    std::int64_t per;
    Files expected;
  };
  const Case cases[] = {
      {"2-3",
       1,
       {{"src_002.txt", "第二章 题二\r\n正文二\r\n"},
        {"src_003.txt", "第三章 题三\r\n正文三\r\n"}}},
      {"1,7",
       1,
       {{"src_001.txt", "序言\r\n第一章 题一\r\n正文一\r\n"},
        {"src_007.txt", "第七章 题七\r\n正文七"}}},
      {"6-",
       1,
       {{"src_006.txt", "第六章 题六\r\n正文六\r\n"}, {"src_007.txt", "第七章 题七\r\n正文七"}}},
      {"7-99", 1, {{"src_007.txt", "第七章 题七\r\n正文七"}}},
      // With three a piece, the pieces that hold them, with only the chosen chapters inside.
      {"2,4,6",
       3,
       {{"src_001.txt", "第二章 题二\r\n正文二\r\n"},
        {"src_002.txt", "第四章 题四\r\n正文四\r\n第六章 题六\r\n正文六\r\n"}}},
      {"1,3", 3, {{"src_001.txt", "序言\r\n第一章 题一\r\n正文一\r\n第三章 题三\r\n正文三\r\n"}}},
      {"7", 3, {{"src_003.txt", "第七章 题七\r\n正文七"}}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "out");
    auto options = Options(SevenChapters());
    options.chaptersPerPiece = c.per;
    options.chapters = *ChapterSelection::Parse(c.chapters);
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << c.chapters;
    EXPECT_EQ(Out(), c.expected) << c.chapters;
    EXPECT_EQ(host.tally.pieces, static_cast<std::int64_t>(c.expected.size())) << c.chapters;
  }
}

TEST_F(TocSplit, ChoosingOnlyChaptersTheBookLacksIsRefused) {
  auto options = Options(SevenChapters());
  options.chapters = *ChapterSelection::Parse("8-");
  SplitRun run(options, host);
  const SplitEnd end = run.Execute();
  EXPECT_EQ(end.outcome, SplitOutcome::Refused);
  EXPECT_EQ(end.message, (Message{MessageId::NoChosenChapters, {"8-", "7"}}));
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST_F(TocSplit, JoinWritesTheChosenChaptersIntoOneFileInEveryEncoding) {
  struct Case {
    Encoding source;
    Encoding to;
    const char* chapters;
    const char* name;
    std::string expected;
  };
  const Case cases[] = {
      {Encoding::Gbk, Encoding::Auto, "2-3", "src_002-003.txt",
       "HEAD\r\n\r\n第二章 题二\r\n正文二\r\n第三章 题三\r\n正文三\r\n\r\n\r\nTAIL"},
      {Encoding::Gbk, Encoding::Utf8, "6-", "src_006-007.txt",
       "HEAD\r\n\r\n第六章 题六\r\n正文六\r\n第七章 题七\r\n正文七\r\n\r\nTAIL"},
      {Encoding::Utf8, Encoding::Gbk, "1,3", "src_001-003.txt",
       "HEAD\r\n\r\n序言\r\n第一章 题一\r\n正文一\r\n第三章 题三\r\n正文三\r\n\r\n\r\nTAIL"},
      {Encoding::Utf8, Encoding::Utf8, "", "src_001-007.txt",
       "HEAD\r\n\r\n" + SevenChapters().substr(0, SevenChapters().size() - 2) + "\r\n\r\nTAIL"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir / "out");
    auto options = Options("");
    WriteFile(options.sourcePath, c.source == Encoding::Gbk ? G(SevenChapters()) : SevenChapters());
    options.chapters = *ChapterSelection::Parse(c.chapters);
    options.join = true;
    options.outEncoding = c.to;
    options.addHead = options.addTail = true;
    options.head = G("HEAD");
    options.tail = G("TAIL");
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << c.name;
    const Encoding written = c.to == Encoding::Auto ? c.source : c.to;
    const std::string expected = written == Encoding::Gbk ? G(c.expected) : c.expected;
    EXPECT_EQ(ListDir(dir / "out"), std::vector<std::string>{c.name});
    EXPECT_EQ(ReadFile(dir / ("out/" + std::string(c.name))), expected) << c.name;
  }
}

TEST(ChapterSelection, ReadsRangesAndAnswersForABook) {
  struct Case {
    const char* text;
    bool valid;
    std::int64_t first, last;  ///< of a book of 100 chapters
    std::vector<std::int64_t> in, out;
  };
  const Case cases[] = {
      {"", true, 1, 100, {1, 100}, {}},
      {"1-50,60,75-", true, 1, 100, {1, 50, 60, 75, 100}, {51, 59, 61, 74}},
      {" 10 - 20 ", true, 10, 20, {10, 20}, {9, 21}},
      {"150-", true, 0, 0, {150}, {100}},
      {"90-120", true, 90, 100, {90, 120}, {89}},
      {"0", false, 0, 0, {}, {}},
      {"9-3", false, 0, 0, {}, {}},
      {"1,,2", false, 0, 0, {}, {}},
      {"a-b", false, 0, 0, {}, {}},
  };
  for (const Case& c : cases) {
    const auto selection = ChapterSelection::Parse(c.text);
    ASSERT_EQ(selection.has_value(), c.valid) << c.text;
    if (!selection) continue;
    EXPECT_EQ(selection->First(100), c.first) << c.text;
    EXPECT_EQ(selection->Last(100), c.last) << c.text;
    for (const std::int64_t n : c.in) EXPECT_TRUE(selection->Contains(n)) << c.text << " " << n;
    for (const std::int64_t n : c.out) EXPECT_FALSE(selection->Contains(n)) << c.text << " " << n;
    EXPECT_EQ(ChapterSelection::Parse(selection->Text()), selection) << c.text;
  }
}

std::string Repeated(const std::string& text, int times) {
  std::string all;
  all.reserve(text.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

TEST(SourceFingerprint, CountsLinesAsTheChapterListDoes) {
  struct Case {
    std::string bytes;
    Encoding encoding;
    std::int64_t lines;
  };
  const Case cases[] = {
      {"", Encoding::Gbk, 0},
      {"a", Encoding::Gbk, 1},
      {"a\n", Encoding::Gbk, 1},
      {"a\r\nb\n\nc", Encoding::Gbk, 4},
      {std::string(40, '\n') + "x", Encoding::Utf8, 41},
      {std::string("a\0\n\0\n\0b\0", 8), Encoding::Utf16Le, 3},
      {std::string("\0a\0\n\0\n", 6), Encoding::Utf16Be, 2},
      {std::string("\n\x0A", 2), Encoding::Utf16Le, 1},  // one code unit 0x0A0A
      // Books of many chunks, read ahead on a thread: every chunk hashed and counted in order.
      {Repeated("第一章 甲乙\r\n正文\r\n\r\n", 300000) + "末", Encoding::Gbk, 900001},
      {Repeated("a\n", 1 << 20), Encoding::Utf8, 1 << 20},
      {Repeated(std::string("\0a\0\n", 4), 1 << 19) + std::string("\0b", 2), Encoding::Utf16Be,
       (1 << 19) + 1},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteFile(dir / "f", c.bytes);
    Message message;
    const auto print = SourceFingerprint::Of(dir / "f", c.encoding, true, message);
    ASSERT_TRUE(print);
    EXPECT_EQ(print->lines, c.lines) << c.bytes;
    EXPECT_EQ(print->bytes, static_cast<std::int64_t>(c.bytes.size()));
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(XXH3_64bits(c.bytes.data(), c.bytes.size())));
    EXPECT_EQ(print->hash, hash) << c.bytes.size();
    // Asked for the size it has, the book is read as ever; for another size, not at all,
    // and any list is then one for another book.
    const auto size = static_cast<std::int64_t>(c.bytes.size());
    const auto same = SourceFingerprint::Of(dir / "f", c.encoding, true, message, size);
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->read && same->lines == c.lines && same->hash == hash) << c.bytes.size();
    const auto other = SourceFingerprint::Of(dir / "f", c.encoding, true, message, size + 1);
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->read || other->lines != 0 || !other->hash.empty()) << c.bytes.size();
    EXPECT_EQ(other->bytes, size);
    EXPECT_EQ(other->Refusal(ChapterList{}, false, "f"), (Message{MessageId::TocOtherBook, {"f"}}));
  }
}

TEST(RunFinder, EndsARunBeforeTheLineALimitOnLinesNames) {
  struct Case {
    std::size_t lines;
    std::size_t end;
    std::size_t taken;
  };
  const std::string atHand = "ab\r\ncd\r\nef\r\ngh";
  for (const Case c :
       {Case{0, 0, 0}, Case{1, 4, 1}, Case{2, 8, 2}, Case{3, 12, 3}, Case{99, 12, 3}}) {
    RunFinder::Limits limits;
    limits.lines = c.lines;
    std::size_t taken = 0;
    EXPECT_EQ(RunFinder::End(atHand, limits, &taken), c.end) << c.lines;
    EXPECT_EQ(taken, c.taken) << c.lines;
  }
}

}  // namespace
}  // namespace sekato::engine
