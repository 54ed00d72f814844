#include "outputfolders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "fileops.h"
#include "sourcepath.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
namespace fs = std::filesystem;

// A tree to compare folders in, entered as the working folder so that relative paths are
// tried as well:
//   out/  out/Book/  out/a/  real/  alias -> real  link -> out  sub/  Sub/  file
class FolderTree : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"out/Book", "out/a", "real", "sub", "Sub"}) {
      fs::create_directories(dir.Path() / folder);
    }
    fs::create_directory_symlink("real", dir.Path() / "alias");
    fs::create_directory_symlink("out", dir.Path() / "link");
    WriteFile(dir / "file", "x");
    previous = fs::current_path();
    fs::current_path(dir.Path());
  }
  void TearDown() override { fs::current_path(previous); }

  TempDir dir;
  fs::path previous;
};

struct FolderPair {
  const char* a;
  const char* b;
  bool same;
};

class FolderPairs : public FolderTree, public ::testing::WithParamInterface<FolderPair> {};

TEST_P(FolderPairs, AreOneFolderOnlyWhenTheFileSystemWouldMakeThemOne) {
  const FolderPair& p = GetParam();
  // "@" stands for the tree's absolute path, for pairs that mix absolute and relative.
  const auto expand = [&](std::string path) {
    if (path.rfind('@', 0) == 0) path = dir.Path().string() + path.substr(1);
    return path;
  };
  const auto a = OutputFolders::Identify(expand(p.a));
  const auto b = OutputFolders::Identify(expand(p.b));
  EXPECT_EQ(OutputFolders::Same(a, b), p.same) << p.a << " | " << p.b;
  EXPECT_EQ(OutputFolders::Same(b, a), p.same) << p.b << " | " << p.a;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, FolderPairs,
    ::testing::Values(
        FolderPair{"out/book", "out/book", true}, FolderPair{"out/book", "./out//book/", true},
        FolderPair{"out/book", "@/out/book", true}, FolderPair{"out/book", "out/BOOK", true},
        FolderPair{"out/book", "out/other", false}, FolderPair{"out/book", "book", false},
        // An existing folder against one still to be made, told apart by case only.
        FolderPair{"out/Book", "out/book", true}, FolderPair{"out/Book", "out/Book/x", false},
        // Links and "..": the folder they lead to.
        FolderPair{"link/book", "out/book", true}, FolderPair{"link/Book", "out/Book", true},
        FolderPair{"alias", "real", true}, FolderPair{"out/a/../book", "out/book", true},
        FolderPair{"out/gone/../book", "out/book", true},
        // Levels still to be made ignore case; existing ones are the system's to tell apart.
        FolderPair{"out/new/deep", "out/NEW/deep", true}, FolderPair{"sub/book", "Sub/book", false},
        FolderPair{"out/new/deep", "out/new/deeper", false}));

SplitOptions BesideSource(const std::string& source) {
  SplitOptions o;
  o.sourcePath = source;
  o.sourceBase = SourcePath::Base(source);
  o.sourceTitle = SourcePath::Title(source);
  return o;
}

SplitOptions InFolder(const std::string& chosen, const std::string& source) {
  SplitOptions o = BesideSource(source);
  o.folder = FolderChoice::NewFolder;
  o.newFolder = OutputFolders::InChosen(chosen, source);
  return o;
}

struct BatchCase {
  const char* what;
  std::vector<SplitOptions> runs;
  std::optional<std::pair<std::size_t, std::size_t>> clash;
};

class Batches : public FolderTree {};

TEST_F(Batches, ClashWhenTwoBooksWouldShareAFolder) {
  const std::vector<BatchCase> cases = {
      {"two books of one name into one folder",
       {InFolder("out", "a/book.txt"), InFolder("out", "b/book.txt")},
       std::pair<std::size_t, std::size_t>{0, 1}},
      {"extensions differing in case",
       {InFolder("out", "x.txt"), InFolder("out/", "x.TXT")},
       std::pair<std::size_t, std::size_t>{0, 1}},
      {"one source twice beside itself",
       {BesideSource("sub/x.txt"), BesideSource("sub/x.txt")},
       std::pair<std::size_t, std::size_t>{0, 1}},
      {"beside each other, names differing in case",
       {BesideSource("sub/a.txt"), BesideSource("sub/X.txt"), BesideSource("sub/x.txt")},
       std::pair<std::size_t, std::size_t>{1, 2}},
      {"the first clash comes from the earliest second run",
       {BesideSource("sub/a.txt"), BesideSource("sub/b.txt"), BesideSource("sub/a.md"),
        BesideSource("sub/b.md")},
       std::pair<std::size_t, std::size_t>{0, 2}},
      {"one name in folders of their own",
       {BesideSource("sub/book.txt"), BesideSource("Sub/book.txt")},
       std::nullopt},
      {"different names",
       {InFolder("out", "a/one.txt"), InFolder("out", "a/two.txt")},
       std::nullopt},
      {"a run without a folder is the run's to refuse",
       {BesideSource("sub/README"), BesideSource("Sub/README")},
       std::nullopt},
  };
  for (const auto& c : cases) {
    const auto clash = OutputFolders::FindClash(c.runs);
    ASSERT_EQ(clash.has_value(), c.clash.has_value()) << c.what;
    if (clash) {
      EXPECT_EQ(clash->first, c.clash->first) << c.what;
      EXPECT_EQ(clash->second, c.clash->second) << c.what;
    }
  }
}

TEST(OutputFolders, AFolderInTheChosenOneIsNamedAfterTheBook) {
  EXPECT_EQ(OutputFolders::InChosen("out", "/books/novel.txt"), "out/novel");
  EXPECT_EQ(OutputFolders::InChosen("out/", "a.b.txt"), "out/a.b");
  EXPECT_EQ(OutputFolders::InChosen("/", "x/README"), "/README");
}

struct MakeCase {
  const char* path;
  bool made;
};

class MakeDirectory : public FolderTree, public ::testing::WithParamInterface<MakeCase> {};

TEST_P(MakeDirectory, MakesEveryMissingLevel) {
  const MakeCase& c = GetParam();
  std::string error;
  EXPECT_EQ(FileOps::MakeDirectory(c.path, error), c.made) << c.path << ": " << error;
  EXPECT_EQ(fs::is_directory(c.path), c.made) << c.path;
  EXPECT_EQ(error.empty(), c.made) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MakeDirectory,
    ::testing::Values(MakeCase{"one", true}, MakeCase{"out/Book", true},
                      MakeCase{"new/two/three", true}, MakeCase{"new/two/three/", true},
                      MakeCase{"out//new///deep", true}, MakeCase{"gone/../back/here", true},
                      MakeCase{"link/through/link", true},
                      // A level that is a file stops it, whichever level it is.
                      MakeCase{"file", false}, MakeCase{"file/below", false},
                      MakeCase{"file/below/deeper", false}));

TEST_F(FolderTree, ARunWritesIntoAFolderOfSeveralMissingLevels) {
  WriteFile(dir / "book.txt", G("第1章\r\n甲\r\n第2章\r\n乙\r\n"));
  RecordingHost host;
  ASSERT_EQ(Split(OptionsFor(dir / "book.txt", dir / "x/y/z"), host), SplitOutcome::Completed)
      << host.Message();
  EXPECT_EQ(ListDir(dir / "x/y/z"), (std::vector<std::string>{"book_001.txt", "book_002.txt"}));
}

}  // namespace
}  // namespace sekato::engine
