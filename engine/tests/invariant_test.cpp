#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "sekato/splitrun.h"
#include "splitinvariants.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

TEST(Invariants, PiecesJoinedAreTheSourceWithoutBreaksAndStartOnCharacters) {
  struct Case {
    const char* what;
    std::function<void(SplitOptions&)> set;
  };
  const std::vector<Case> cases = {
      {"chapter", [](SplitOptions&) {}},
      {"chapter by number, title names",
       [](SplitOptions& o) {
         o.keywords = G("第?章");
         o.naming = PieceNaming::ChapterTitle;
         o.chaptersPerPiece = 2;
       }},
      {"size 0",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1;  // with the run's limit at 0 bytes below
       }},
      {"size 1",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1;
       }},
      {"size 1 keep-lines",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1;
         o.keepLines = true;
       }},
      {"even 7",
       [](SplitOptions& o) {
         o.mode = SplitMode::Evenly;
         o.parts = 7;
       }},
  };
  TempDir dir;
  for (unsigned seed = 11; seed <= 16; ++seed) {
    const std::string book = RandomBook(seed);
    WriteFile(dir / "src.txt", book);
    for (const auto& c : cases) {
      for (const std::size_t partLimit : {std::size_t{1} << 20, std::size_t{7}}) {
        auto options = OptionsFor(dir / "src.txt", dir / "out");
        c.set(options);
        RecordingHost host;
        options.numerals = Numerals::Series::Ascii;
        SplitRun run(options, host);
        run.SetPartLimit(partLimit);
        if (c.what == std::string("size 0")) run.SetSizeLimitBytes(0);
        ASSERT_EQ(Execute(run, host), SplitOutcome::Completed) << c.what;
        EXPECT_EQ(CheckSplitInvariants(book, dir / "out", "src"), "")
            << c.what << ", seed " << seed << ", parts of " << partLimit;
        std::filesystem::remove_all(dir / "out");
      }
    }
  }
}

}  // namespace
}  // namespace sekato::engine
