#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "heldsplitsupport.h"
#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

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
