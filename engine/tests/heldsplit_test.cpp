#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Files = std::map<std::string, std::string>;

// Files without a name this process holds open in `dir`: pieces written and not yet linked.
int UnnamedIn(const std::string& dir) {
  int count = 0;
  const std::string prefix = std::filesystem::weakly_canonical(dir).string() + "/#";
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
    count += !error && target.rfind(prefix, 0) == 0;
  }
  return count;
}

// The same files with the same bytes; else where the first difference lies, told briefly:
// the pieces are megabytes long.
::testing::AssertionResult Same(const Files& got, const Files& want) {
  for (auto g = got.begin(), w = want.begin(); g != got.end() || w != want.end(); ++g, ++w) {
    if (g == got.end() || w == want.end() || g->first != w->first) {
      return ::testing::AssertionFailure()
             << "names differ at " << (g == got.end() ? "(none)" : g->first) << " / "
             << (w == want.end() ? "(none)" : w->first);
    }
    if (g->second != w->second) {
      const auto at = std::mismatch(g->second.begin(), g->second.end(), w->second.begin(),
                                    w->second.end());
      return ::testing::AssertionFailure()
             << g->first << ": " << g->second.size() << " bytes, wanted " << w->second.size()
             << ", first difference at " << (at.first - g->second.begin());
    }
  }
  return ::testing::AssertionSuccess();
}

// Records the run as RecordingHost does, and at each look how many pieces the output folder
// holds unnamed and named; can stop the run at a look.
class WatchingHost final : public SplitHost {
 public:
  explicit WatchingHost(std::string dir) : m_dir(std::move(dir)) {}
  bool Progress(std::int64_t position, std::int64_t length) override {
    mostUnnamed = std::max(mostUnnamed, UnnamedIn(m_dir));
    if (std::filesystem::exists(m_dir) && ListDir(m_dir) != before) namedEarly = true;
    backwards = backwards || position < last;
    last = position;
    return recorder.Progress(position, length);
  }
  void ReportEncoding(Encoding encoding, bool detected) override {
    recorder.ReportEncoding(encoding, detected);
  }
  void Warn(const engine::Message& message) override { recorder.Warn(message); }

  RecordingHost recorder;
  std::vector<std::string> before;  ///< what the folder held before the run
  int mostUnnamed = 0;
  bool namedEarly = false;  ///< a file came or went in the folder while the run looked
  bool backwards = false;   ///< progress went back
  std::int64_t last = 0;

 private:
  std::string m_dir;
};

// A book read by the check in many chunks, with a chapter every `chapterBytes` or so.
std::string LongBook(int chapters, std::size_t chapterBytes) {
  std::string book = G("序言\r\n");
  const std::string body = "The quick brown fox jumps over the lazy dog, again and again.\r\n";
  for (int i = 1; i <= chapters; ++i) {
    book += G("第") + std::to_string(i) + G("章 标题\r\n");
    for (std::size_t n = 0; n < chapterBytes; n += body.size()) book += body;
  }
  return book;
}

// The lines that open the chapters of LongBook, with their titles.
ChapterList ChaptersOf(const std::string& book) {
  ChapterList list;
  std::int64_t line = 1;
  for (std::size_t at = 0; at < book.size(); ++line) {
    const std::size_t feed = book.find('\n', at);
    if (book.compare(at, 2, G("第")) == 0) {
      list.entries.push_back({line, "章" + std::to_string(list.entries.size() + 1)});
    }
    at = feed == std::string::npos ? book.size() : feed + 1;
  }
  return list;
}

class HeldSplit : public ::testing::Test {
 protected:
  void SetUp() override {
    book = LongBook(24, 400u << 10);  // about 10 MB: looked at every 4 MiB
    WriteFile(dir / "book.txt", book);
  }
  SplitOptions Options(const std::string& out) const {
    auto options = OptionsFor(dir / "book.txt", out);
    options.toc = ChaptersOf(book);
    return options;
  }
  // The run with held pieces for any length of piece, as `adjust` sets it up.
  SplitEnd Run(const SplitOptions& options, WatchingHost& host,
               const std::function<void(SplitRun&)>& adjust = {}) {
    SplitRun run(options, host);
    run.SetHeldFrom(0);
    if (adjust) adjust(run);
    return run.Execute();
  }
  // The pieces the line by line pass writes for `options`.
  Files LineByLine(SplitOptions options) {
    options.newFolder = dir / "lines";
    std::filesystem::remove_all(options.newFolder);
    RecordingHost host;
    SplitRun run(options, host);
    run.SetRangeCopies(false);
    EXPECT_EQ(Execute(run, host), SplitOutcome::Completed) << host.Message();
    return FilesIn(options.newFolder);
  }
  TempDir dir;
  std::string book;
};

// ---- the pieces ----

struct Way {
  const char* name;
  std::function<void(SplitRun&)> adjust;
  bool holds;  ///< pieces are written while the list is checked
};

struct Look {
  const char* name;
  std::function<void(SplitOptions&)> set;
};

class HeldPieces : public HeldSplit, public ::testing::WithParamInterface<Way> {};

// However the pieces are laid out and however far they are held, they are the pieces the line
// by line pass writes, and progress ends where it does.
TEST_P(HeldPieces, AreThoseTheLineByLinePassWrites) {
  const Look looks[] = {
      {"plain", [](SplitOptions&) {}},
      {"per 5, titles", [](SplitOptions& o) {
         o.chaptersPerPiece = 5;
         o.naming = PieceNaming::ChapterTitle;
       }},
      {"head, tail, promotion", [](SplitOptions& o) {
         o.addHead = o.addTail = true;
         o.head = "HEAD\nTWO";
         o.tail = "TAIL";
         o.noPromotion = false;
       }},
      {"per 7, head", [](SplitOptions& o) {
         o.chaptersPerPiece = 7;
         o.addHead = true;
         o.head = "HEAD";
       }},
  };
  for (const Look& look : looks) {
    auto options = Options(dir / "held");
    look.set(options);
    std::filesystem::remove_all(dir / "held");
    WatchingHost host(dir / "held");
    const SplitEnd end = Run(options, host, GetParam().adjust);
    ASSERT_EQ(end.outcome, SplitOutcome::Completed) << look.name << end.message.Text();
    const Files expected = LineByLine(options);
    EXPECT_TRUE(Same(FilesIn(dir / "held"), expected)) << look.name;
    EXPECT_EQ(end.tally.pieces, static_cast<std::int64_t>(expected.size())) << look.name;
    EXPECT_EQ(host.recorder.positions.back(), static_cast<std::int64_t>(book.size()))
        << look.name;
    EXPECT_EQ(host.mostUnnamed > 0, GetParam().holds) << look.name;
    EXPECT_FALSE(host.backwards) << look.name;
    EXPECT_EQ(UnnamedIn(dir / "held"), 0) << look.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, HeldPieces,
    ::testing::Values(
        Way{"AllHeld", {}, true},
        // The pieces past the second are copied once the check has passed.
        Way{"TwoHeld", [](SplitRun& run) { run.SetMostHeld(2); }, true},
        Way{"NoUnnamedFiles", [](SplitRun& run) { run.SetUnnamedFiles(false); }, false},
        Way{"HeldOff", [](SplitRun& run) { run.SetHeldPieces(false); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- refusals ----

struct Refusal {
  const char* name;
  std::function<void(ChapterList&, const std::string& book)> spoil;
  MessageId message;
  bool held;  ///< pieces were being written when the list was refused
};

class HeldRefusals : public HeldSplit, public ::testing::WithParamInterface<Refusal> {};

// A list refused once pieces were written leaves none of them, nor a folder the run made,
// and an older piece in a folder that was there stays as it was.
TEST_P(HeldRefusals, LeaveNothingBehind) {
  const Refusal& c = GetParam();
  auto fresh = Options(dir / "new/deeper/out");
  c.spoil(*fresh.toc, book);
  WatchingHost host(dir / "new/deeper/out");
  const SplitEnd end = Run(fresh, host);
  EXPECT_EQ(end.outcome, SplitOutcome::Refused);
  EXPECT_EQ(end.message.id, c.message);
  EXPECT_EQ(host.mostUnnamed > 0, c.held);
  EXPECT_FALSE(std::filesystem::exists(dir / "new"));

  auto kept = Options(dir / "old");
  c.spoil(*kept.toc, book);
  std::filesystem::create_directories(dir / "old");
  WriteFile(dir / "old/book_001.txt", "older piece");
  WatchingHost oldHost(dir / "old");
  oldHost.before = ListDir(dir / "old");
  EXPECT_EQ(Run(kept, oldHost).outcome, SplitOutcome::Refused);
  EXPECT_FALSE(oldHost.namedEarly);
  EXPECT_EQ(FilesIn(dir / "old"), (Files{{"book_001.txt", "older piece"}}));
  EXPECT_EQ(UnnamedIn(dir / "old"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, HeldRefusals,
    ::testing::Values(
        Refusal{"AnotherBookOfTheSameSize",
                [](ChapterList& list, const std::string& book) {
                  list.sourceBytes = static_cast<std::int64_t>(book.size());
                  list.hash = "0123456789abcdef";
                },
                MessageId::TocOtherBook, true},
        Refusal{"LinePastTheEnd",
                [](ChapterList& list, const std::string&) {
                  list.entries.push_back({list.entries.back().line + 1000000, "far"});
                },
                MessageId::TocLineOutOfRange, true},
        Refusal{"NotAscending",
                [](ChapterList& list, const std::string&) {
                  std::swap(list.entries[3], list.entries[4]);
                },
                MessageId::TocNotAscending, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the run around the pieces ----

TEST_F(HeldSplit, AListForAnotherBookIsTakenWithForce) {
  auto options = Options(dir / "out");
  options.toc->sourceBytes = 12345;
  options.toc->hash = "0123456789abcdef";
  options.force = true;
  WatchingHost host(dir / "out");
  const SplitEnd end = Run(options, host);
  ASSERT_EQ(end.outcome, SplitOutcome::Completed) << end.message.Text();
  EXPECT_GT(host.mostUnnamed, 0);
  EXPECT_TRUE(Same(FilesIn(dir / "out"), LineByLine(options)));
}

TEST_F(HeldSplit, AStopWhileTheListIsCheckedWritesNothing) {
  WatchingHost host(dir / "out");
  host.recorder.stopAfterPolls = 1;  // the second look, 4 MiB into the book
  const SplitEnd end = Run(Options(dir / "out"), host);
  EXPECT_EQ(end.outcome, SplitOutcome::Stopped);
  EXPECT_EQ(end.tally.pieces, 0);
  EXPECT_GT(host.mostUnnamed, 0);
  EXPECT_EQ(ListDir(dir / "out"), std::vector<std::string>{});
  EXPECT_EQ(UnnamedIn(dir / "out"), 0);
}

// An existing piece of the same name is emptied and written as opening it would, where the
// name cannot simply be linked; something that is no plain file is never written through.
TEST_F(HeldSplit, PiecesTakeTheNamesOfOlderOnesAsOpeningThemWould) {
  std::filesystem::create_directories(dir / "out");
  WriteFile(dir / "out/book_002.txt", "an older, longer piece of another split");
  struct stat before {};
  ASSERT_EQ(::stat((dir / "out/book_002.txt").c_str(), &before), 0);
  WatchingHost host(dir / "out");
  const auto options = Options(dir / "out");
  ASSERT_EQ(Run(options, host).outcome, SplitOutcome::Completed);
  EXPECT_TRUE(Same(FilesIn(dir / "out"), LineByLine(options)));
  struct stat after {};
  ASSERT_EQ(::stat((dir / "out/book_002.txt").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  std::filesystem::remove_all(dir / "out");
  std::filesystem::create_directories(dir / "out/book_003.txt");
  WatchingHost second(dir / "out");
  const SplitEnd end = Run(options, second);
  EXPECT_EQ(end.outcome, SplitOutcome::Failed);
  EXPECT_EQ(end.message.id, MessageId::NotRegularPiece);
  EXPECT_EQ(end.tally.pieces, 2);
  EXPECT_EQ(ListDir(dir / "out"),
            (std::vector<std::string>{"book_001.txt", "book_002.txt", "book_003.txt"}));
  EXPECT_EQ(UnnamedIn(dir / "out"), 0);
}

}  // namespace
}  // namespace sekato::engine
