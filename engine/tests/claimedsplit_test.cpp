#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <utility>

#include "heldsplitsupport.h"
#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
using Inodes = std::map<std::string, ino_t>;

Inodes InodesIn(const std::string& dir) {
  Inodes inodes;
  if (!std::filesystem::exists(dir)) return inodes;
  for (const std::string& name : ListDir(dir)) {
    struct stat info {};
    if (::lstat((dir + "/" + name).c_str(), &info) == 0) inodes[name] = info.st_ino;
  }
  return inodes;
}

// Every file in `dir` with its bytes, and every folder in it as "<folder>".
Files Contents(const std::string& dir) {
  Files files;
  if (!std::filesystem::exists(dir)) return files;
  for (const std::string& name : ListDir(dir)) {
    const std::string path = dir + "/" + name;
    files[name] = std::filesystem::is_directory(path) ? "<folder>" : ReadFile(path);
  }
  return files;
}

// The names of `before` whose file is still there under the same name afterwards.
std::vector<std::string> Kept(const Inodes& before, const Inodes& after) {
  std::vector<std::string> kept;
  for (const auto& [name, inode] : before) {
    const auto found = after.find(name);
    if (found != after.end() && found->second == inode) kept.push_back(name);
  }
  return kept;
}

// A split of a book of short chapters, where the folder holds something before it, or the
// list or the options are not the plain ones.
struct Situation {
  const char* name;
  std::function<void(const std::string& out)> prepare;
  std::function<void(SplitOptions&, const std::string& book)> set;
  SplitOutcome outcome;
  /// The pieces stood under their names while the book was still being checked: files came
  /// in the folder between looks that came every few MiB of the book, not once a piece.
  bool claims;
  bool nested = false;  ///< the run makes two folders above its own
};

// What one run left, and how it went there.
struct Left {
  SplitEnd end;
  Files files;
  std::vector<std::string> kept;
  bool madeFolders = false;  ///< a folder the run made is still there
  bool claims = false;
  bool backwards = false;
  int mostUnnamed = 0;
};

class ClaimedPieces : public ::testing::TestWithParam<Situation> {
 protected:
  void SetUp() override {
    book = LongBook(400, 24u << 10);  // about 10 MB in pieces of 24 KB: looked at every 4 MiB
    WriteFile(dir / "book.txt", book);
  }
  // The run in a folder of its own under `side`, written while the list is checked or after.
  Left Run(const std::string& side, bool whileChecked) {
    const Situation& c = GetParam();
    std::filesystem::create_directories(dir / side);
    const std::string out = dir / side + (c.nested ? "/new/deeper/out" : "/out");
    if (c.prepare) {
      std::filesystem::create_directories(out);
      c.prepare(out);
    }
    const Inodes before = InodesIn(out);
    auto options = OptionsFor(dir / "book.txt", out);
    options.toc = ChaptersOf(book);
    if (c.set) c.set(options, book);
    WatchingHost host(out);
    if (c.prepare) host.before = ListDir(out);
    SplitRun run(options, host);
    run.SetHeldPieces(whileChecked);
    Left left;
    left.end = run.Execute();
    left.files = Contents(out);
    left.kept = Kept(before, InodesIn(out));
    left.madeFolders = std::filesystem::exists(dir / side + (c.nested ? "/new" : "/out"));
    left.claims = host.namedEarly && host.recorder.polls < 100;
    left.backwards = host.backwards;
    left.mostUnnamed = std::max(host.mostUnnamed, UnnamedIn(dir / side));
    return left;
  }
  TempDir dir;
  std::string book;
};

// Whatever the folder holds and whether the list fits, the run leaves what it leaves when
// it checks the list first and writes the pieces after: the same pieces, the same older
// files in their places, the same end; a list refused leaves nothing it made.
TEST_P(ClaimedPieces, LeaveWhatTheSplitAfterTheCheckLeaves) {
  const Situation& c = GetParam();
  const Left got = Run("claimed", true);
  const Left want = Run("after", false);
  EXPECT_EQ(got.end.outcome, c.outcome) << got.end.message.Text();
  EXPECT_EQ(want.end.outcome, c.outcome) << want.end.message.Text();
  EXPECT_EQ(got.end.message.id, want.end.message.id);
  EXPECT_EQ(got.end.tally.pieces, want.end.tally.pieces);
  EXPECT_TRUE(Same(got.files, want.files));
  EXPECT_EQ(got.kept, want.kept);
  EXPECT_EQ(got.madeFolders, want.madeFolders);
  EXPECT_EQ(got.claims, c.claims);
  EXPECT_FALSE(got.backwards);
  // Short pieces never wait without a name.
  EXPECT_EQ(got.mostUnnamed, 0);
}

const auto kOlder = [](const std::string& name) {
  return [name](const std::string& out) { WriteFile(out + "/" + name, "an older file"); };
};
const auto kAnotherBook = [](SplitOptions& o, const std::string& book) {
  o.toc->sourceBytes = static_cast<std::int64_t>(book.size());
  o.toc->hash = "0123456789abcdef";
};
const auto kTitles = [](SplitOptions& o, const std::string&) {
  o.naming = PieceNaming::ChapterTitle;
};

INSTANTIATE_TEST_SUITE_P(
    Folders, ClaimedPieces,
    ::testing::Values(
        Situation{"Fresh", {}, {}, SplitOutcome::Completed, true},
        Situation{"PerFiveTitlesHeadTailPromotion",
                  {},
                  [](SplitOptions& o, const std::string&) {
                    o.chaptersPerPiece = 5;
                    o.naming = PieceNaming::ChapterTitle;
                    o.addHead = o.addTail = true;
                    o.head = "HEAD\nTWO";
                    o.tail = "TAIL";
                    o.noPromotion = false;
                  },
                  SplitOutcome::Completed,
                  true},
        // A name taken: the pieces go after the check, the older file emptied in its place.
        Situation{"OlderFirstPiece", kOlder("book_001.txt"), {}, SplitOutcome::Completed, false},
        Situation{"OlderLaterPiece", kOlder("book_300.txt"), {}, SplitOutcome::Completed, false},
        Situation{"TitleNameTaken", kOlder("003_章3.txt"), kTitles, SplitOutcome::Completed, true},
        Situation{"FolderAtAPieceName",
                  [](const std::string& out) {
                    std::filesystem::create_directories(out + "/book_300.txt");
                  },
                  {},
                  SplitOutcome::Failed,
                  false},
        Situation{"AListForAnotherBookTakenWithForce",
                  {},
                  [](SplitOptions& o, const std::string& book) {
                    kAnotherBook(o, book);
                    o.force = true;
                  },
                  SplitOutcome::Completed,
                  true},
        Situation{"AnotherBookOfTheSameSize", {}, kAnotherBook, SplitOutcome::Refused, true},
        Situation{"AnotherBookWithTitles",
                  {},
                  [](SplitOptions& o, const std::string& book) {
                    kAnotherBook(o, book);
                    kTitles(o, book);
                  },
                  SplitOutcome::Refused,
                  true},
        Situation{"AnotherBookInNewFolders", {}, kAnotherBook, SplitOutcome::Refused, true, true},
        Situation{"AnotherBookBesideOlderPieces", kOlder("book_300.txt"), kAnotherBook,
                  SplitOutcome::Refused, true},
        Situation{"LinePastTheEnd", kOlder("book_001.txt"),
                  [](SplitOptions& o, const std::string&) {
                    o.toc->entries.push_back({o.toc->entries.back().line + 1000000, "far"});
                  },
                  SplitOutcome::Refused, false},
        // Refused before the book is read.
        Situation{"NotAscending",
                  {},
                  [](SplitOptions& o, const std::string&) {
                    std::swap(o.toc->entries[3], o.toc->entries[4]);
                  },
                  SplitOutcome::Refused,
                  false},
        Situation{"AnotherSize",
                  {},
                  [](SplitOptions& o, const std::string&) { o.toc->sourceBytes = 1; },
                  SplitOutcome::Refused,
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

// A stop while the list is checked leaves no piece, and older files as they were, however
// far the pieces had got.
class ClaimedStops : public ::testing::TestWithParam<std::pair<const char*, std::int64_t>> {};

TEST_P(ClaimedStops, LeaveNoPiece) {
  TempDir dir;
  const std::string book = LongBook(400, 24u << 10);
  WriteFile(dir / "book.txt", book);
  for (const char* older : {"", "book_300.txt"}) {
    const std::string out = dir / (std::string("out") + older);
    std::filesystem::create_directories(out);
    if (*older != '\0') WriteFile(out + "/" + older, "an older file");
    const Files before = FilesIn(out);
    const Inodes inodes = InodesIn(out);
    auto options = OptionsFor(dir / "book.txt", out);
    options.toc = ChaptersOf(book);
    WatchingHost host(out);
    host.before = ListDir(out);
    host.recorder.stopAfterPolls = GetParam().second;
    SplitRun run(options, host);
    const SplitEnd end = run.Execute();
    EXPECT_EQ(end.outcome, SplitOutcome::Stopped) << older;
    EXPECT_EQ(end.tally.pieces, 0) << older;
    EXPECT_EQ(FilesIn(out), before) << older;
    EXPECT_EQ(InodesIn(out), inodes) << older;
    EXPECT_EQ(UnnamedIn(out), 0) << older;
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, ClaimedStops,
                         ::testing::Values(std::pair<const char*, std::int64_t>{"First", 0},
                                           std::pair<const char*, std::int64_t>{"Second", 1},
                                           std::pair<const char*, std::int64_t>{"Third", 2}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace sekato::engine
