#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "bytesource.h"
#include "linestarts.h"
#include "outfile.h"
#include "rangesplitpass.h"
#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Files = std::map<std::string, std::string>;

ChapterList Lines(const std::vector<std::int64_t>& lines) {
  ChapterList list;
  for (const std::int64_t line : lines) list.entries.push_back({line, {}});
  return list;
}

// ---- where listed lines start ----

struct StartsCase {
  const char* name;
  std::string book;
  std::vector<std::int64_t> listed;
  std::int64_t feeds;
  std::vector<std::int64_t> starts;
  bool bare;
  bool emptyListed;
  bool firstEmpty;
};

class LineStartsTest : public ::testing::TestWithParam<StartsCase> {};

// Read in chunks of every size, the book gives the same answers as read whole: a line start,
// a CR before its feed or an empty line may lie across the end of a chunk.
TEST_P(LineStartsTest, FindsTheSameInChunksOfEverySize) {
  const StartsCase& c = GetParam();
  const ChapterList list = Lines(c.listed);
  for (std::size_t chunk = 1; chunk <= c.book.size() + 1; ++chunk) {
    LineStarts starts(&list);
    for (std::size_t at = 0; at < c.book.size(); at += chunk) {
      starts.Add(c.book.data() + at, std::min(chunk, c.book.size() - at));
    }
    EXPECT_EQ(starts.Feeds(), c.feeds) << "chunk " << chunk;
    EXPECT_EQ(starts.Starts(), c.starts) << "chunk " << chunk;
    EXPECT_EQ(starts.BareFeeds(), c.bare) << "chunk " << chunk;
    EXPECT_EQ(starts.EmptyListed(), c.emptyListed) << "chunk " << chunk;
    EXPECT_EQ(starts.FirstLineEmpty(), c.firstEmpty) << "chunk " << chunk;
  }
}

std::string Long(std::size_t lines) {
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Books, LineStartsTest,
    ::testing::Values(
        StartsCase{"Mixed", "a\r\n\r\nb\nc", {1, 2, 4}, 3, {0, 3, 7}, true, true, false},
        StartsCase{"Plain", "ab\r\ncd\r\nef", {2, 3}, 2, {4, 8}, false, false, false},
        StartsCase{"LoneCrsStayInLines", "a\rb\r\n\rc\r\r\n", {2}, 2, {5}, false, false, false},
        StartsCase{"EmptyAfterLoneCr", "x\r\n\r\r\n\r\n", {2, 3}, 3, {3, 6}, false, true, false},
        StartsCase{"FirstLineEmpty", "\r\nb\r\n", {2}, 2, {2}, false, false, true},
        StartsCase{"FirstLineListedEmpty", "\nb", {1}, 1, {0}, true, true, true},
        StartsCase{"LastLineAlone", "a\r\nb", {2}, 1, {3}, false, false, false},
        StartsCase{"CrAtTheEnd", "a\r\n\r", {2}, 1, {3}, false, false, false},
        StartsCase{"PastTheEndNotFound", "a\r\nb\r\n", {1, 2, 3}, 2, {0, 3, 6}, false, false,
                   false},
        StartsCase{"DescendingStops", "a\r\nb\r\nc\r\n", {2, 1, 3}, 3, {3}, false, false, false},
        StartsCase{"Empty", "", {1}, 0, {}, false, false, false},
        StartsCase{"ManyBlocks", Long(40), {1, 17, 40}, 40, {0, 134, 341}, false, false,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the pieces a list cuts ----

TEST(RangeSplitPieces, StartWhereTheirFirstChapterDoesAndRefuseWhatIsNotPlain) {
  ChapterList titled = Lines({3, 5, 9});
  for (auto& entry : titled.entries) entry.title = "t" + std::to_string(entry.line);
  SourceFingerprint::Layout plain;
  plain.starts = {10, 20, 40};
  const auto two = RangeSplitPass::PiecesFor(titled, plain, 2, true);
  ASSERT_TRUE(two);
  ASSERT_EQ(two->size(), 2u);
  EXPECT_EQ((*two)[0].start, 0);
  EXPECT_EQ(*(*two)[0].title, "t3");
  EXPECT_EQ((*two)[1].start, 40);
  EXPECT_EQ(*(*two)[1].title, "t9");
  const auto untitled = RangeSplitPass::PiecesFor(Lines({3, 5, 9}), plain, 1, false);
  ASSERT_TRUE(untitled);
  EXPECT_EQ(untitled->size(), 3u);
  EXPECT_EQ((*untitled)[2].title, nullptr);

  struct Case {
    const char* name;
    void (*spoil)(SourceFingerprint::Layout&, ChapterList&);
  };
  const Case refused[] = {
      {"bare feed", [](auto& l, auto&) { l.bareFeeds = true; }},
      {"invalid byte", [](auto& l, auto&) { l.invalid = true; }},
      {"empty listed line", [](auto& l, auto&) { l.emptyListed = true; }},
      {"first line empty", [](auto& l, auto&) { l.firstLineEmpty = true; }},
      {"line not found", [](auto& l, auto&) { l.starts.pop_back(); }},
      {"no title for a piece", [](auto&, auto& list) { list.entries[2].title.clear(); }},
      {"no chapters", [](auto& l, auto& list) {
         list.entries.clear();
         l.starts.clear();
       }},
  };
  for (const Case& c : refused) {
    SourceFingerprint::Layout layout = plain;
    ChapterList list = titled;
    c.spoil(layout, list);
    EXPECT_FALSE(RangeSplitPass::PiecesFor(list, layout, 1, true)) << c.name;
  }
  // Only the titles of chapters that open pieces are needed.
  titled.entries[1].title.clear();
  EXPECT_TRUE(RangeSplitPass::PiecesFor(titled, plain, 2, true));
}

// ---- copies of byte ranges ----

TEST(OutFileCopy, CopiesTheRangeAfterWhatWasWrittenAndTellsASourceCutShort) {
  TempDir dir;
  WriteFile(dir / "src", "0123456789");
  ByteSource source;
  std::string reason;
  ASSERT_TRUE(source.Open(dir / "src", reason));
  OutFile out;
  OutFile::Refusal refusal;
  std::size_t hit = 0;
  ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
  out.Write("<");
  EXPECT_EQ(out.CopyFrom(source.Descriptor(), 2, 3), 3);
  out.Write("|");
  EXPECT_EQ(out.CopyFrom(source.Descriptor(), 8, 5), 2);  // the source ends first
  out.Write(">");
  ASSERT_TRUE(out.Close(reason)) << reason;
  EXPECT_EQ(ReadFile(dir / "piece"), "<234|89>");
}

// A long copy is shared with a second thread; a source that ends first, in either half,
// leaves exactly what it had, and what is written next follows it.
TEST(OutFileCopy, ALongCopySharedBetweenTwoThreadsKeepsItsBytesInOrder) {
  TempDir dir;
  std::string book;
  for (int i = 0; book.size() < (std::size_t{1} << 20); ++i) book += std::to_string(i) + ",";
  book.resize(std::size_t{1} << 20);
  WriteFile(dir / "src", book);
  ByteSource source;
  std::string reason;
  ASSERT_TRUE(source.Open(dir / "src", reason));
  struct Case {
    const char* name;
    std::int64_t offset;
    std::int64_t size;
    std::int64_t copied;
  };
  const std::int64_t all = static_cast<std::int64_t>(book.size());
  const Case cases[] = {
      {"whole", 0, all, all},
      {"odd range", 12345, OutFile::kShareFrom + 7, OutFile::kShareFrom + 7},
      {"ends in the second half", 0, all + all / 2, all},
      {"ends in the first half", 0, 4 * all, all},
      {"starts near the end", all - 1000, OutFile::kShareFrom, 1000},
  };
  for (const Case& c : cases) {
    OutFile out;
    OutFile::Refusal refusal;
    std::size_t hit = 0;
    ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
    out.Write("<");
    EXPECT_EQ(out.CopyFrom(source.Descriptor(), c.offset, c.size), c.copied) << c.name;
    out.Write(">");
    ASSERT_TRUE(out.Close(reason)) << reason;
    const std::string expected =
        "<" + book.substr(static_cast<std::size_t>(c.offset), static_cast<std::size_t>(c.copied)) +
        ">";
    EXPECT_TRUE(ReadFile(dir / "piece") == expected) << c.name;
  }
}

// Files may grow to 4 KiB only: a copy past it fails with EFBIG (not a signal), whether one
// thread copies or two.
TEST(OutFileCopy, AFailedCopyIsAFailedWrite) {
  TempDir dir;
  WriteFile(dir / "src", std::string(std::size_t{1} << 20, 'x'));
  ByteSource source;
  std::string reason;
  ASSERT_TRUE(source.Open(dir / "src", reason));
  for (const std::int64_t size : {std::int64_t{8192}, std::int64_t{1} << 20}) {
    OutFile out;
    OutFile::Refusal refusal;
    std::size_t hit = 0;
    ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    out.CopyFrom(source.Descriptor(), 0, size);
    const bool failed = out.Failed();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed) << size;
    EXPECT_FALSE(out.Close(reason)) << size;
    EXPECT_FALSE(reason.empty()) << size;
  }
}

}  // namespace
}  // namespace sekato::engine
