#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "clirunner.h"

namespace sekato::cli {
namespace {

namespace fs = std::filesystem;
using test::CliRunner;

struct BatchCase {
  const char* what;
  /// Sources to make, each with the book's letter: its text is "第N章", "<letter>N" for N 1-3.
  std::vector<std::pair<std::string, char>> books;
  /// Arguments after -q and -j; "@" stands for the test's folder.
  std::vector<std::string> args;
  int status;
};

void PrintTo(const BatchCase& c, std::ostream* os) { *os << c.what; }

std::string Book(char letter) {
  std::string text;
  for (int n = 1; n <= 3; ++n) {
    text += "第" + std::to_string(n) + "章\n" + letter + std::to_string(n) + "\n";
  }
  return text;
}

class BatchFolders : public ::testing::TestWithParam<std::tuple<BatchCase, int>> {};

TEST_P(BatchFolders, TwoBooksNeverShareAFolderWhateverTheJobs) {
  const auto& [c, jobs] = GetParam();
  CliRunner cli;
  std::set<fs::path> sources;  // and the folders that hold them
  for (const auto& [path, letter] : c.books) {
    test::WriteAll(cli / path, Book(letter));
    for (fs::path p = cli / path; p != cli.Dir(); p = p.parent_path()) sources.insert(p);
  }
  std::vector<std::string> args = {"-q", "-j", std::to_string(jobs)};
  for (std::string arg : c.args) {
    if (arg.rfind('@', 0) == 0) arg = cli.Dir().string() + arg.substr(1);
    args.push_back(arg);
  }
  EXPECT_EQ(cli.Run(args), c.status) << cli.Stderr();

  std::size_t pieces = 0;
  std::size_t made = 0;  // files and folders
  for (const auto& entry : fs::recursive_directory_iterator(cli.Dir())) {
    if (sources.count(entry.path()) > 0) continue;
    ++made;
    if (!entry.is_regular_file()) continue;
    ++pieces;
    // Every piece holds the text of one book only.
    const std::string text = test::ReadAll(entry.path());
    std::set<char> letters;
    for (const auto& [path, letter] : c.books) {
      for (const char n : {'1', '2', '3'}) {
        if (text.find({letter, n}) != std::string::npos) letters.insert(letter);
      }
    }
    EXPECT_EQ(letters.size(), 1u) << entry.path();
  }
  if (c.status != 0) {
    // Refused whole: nothing made, and both sources named.
    EXPECT_EQ(made, 0u);
    for (const auto& path : {args[args.size() - 2], args.back()}) {
      const std::string named = "“" + path + "”";
      EXPECT_NE(cli.Stderr().find(named), std::string::npos) << cli.Stderr();
    }
    EXPECT_NE(cli.Stderr().find("同一个目录"), std::string::npos) << cli.Stderr();
  } else {
    EXPECT_EQ(pieces, 3 * c.books.size());
  }
}

const BatchCase kBatches[] = {
    {"one name from two folders",
     {{"a/book.txt", 'A'}, {"b/book.txt", 'B'}},
     {"-o", "out", "a/book.txt", "b/book.txt"},
     1},
    {"extensions differing in case",
     {{"x.txt", 'A'}, {"x.TXT", 'B'}},
     {"-o", "out", "x.txt", "x.TXT"},
     1},
    {"one path given twice", {{"book.txt", 'A'}}, {"-o", "@/out", "book.txt", "book.txt"}, 1},
    {"one file spelled two ways",
     {{"a/book.txt", 'A'}},
     {"-o", "out", "a/book.txt", "@/./a//book.txt"},
     1},
    {"beside each other", {{"x.txt", 'A'}, {"x.TXT", 'B'}}, {"x.txt", "x.TXT"}, 1},
    {"beside each other, names differing in case",
     {{"Book.txt", 'A'}, {"book.txt", 'B'}},
     {"Book.txt", "book.txt"},
     1},
    {"the clash comes after a book of its own",
     {{"one.txt", 'C'}, {"a/two.txt", 'A'}, {"b/two.txt", 'B'}},
     {"-o", "deep/er/out", "one.txt", "a/two.txt", "b/two.txt"},
     1},
    {"different names",
     {{"a/one.txt", 'A'}, {"a/two.txt", 'B'}},
     {"-o", "new/deep/out", "a/one.txt", "a/two.txt"},
     0},
    {"one name in folders of their own",
     {{"a/book.txt", 'A'}, {"b/book.txt", 'B'}},
     {"a/book.txt", "b/book.txt"},
     0},
};

INSTANTIATE_TEST_SUITE_P(Batches, BatchFolders,
                         ::testing::Combine(::testing::ValuesIn(kBatches),
                                            ::testing::Values(1, 2)));

}  // namespace
}  // namespace sekato::cli
