// A long chapter list is formatted in batches of rows on both processors: every row must
// still come once, in order, with its folder named above its first piece.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "clirunner.h"

namespace sekato::cli {
namespace {

using test::CliRunner;

constexpr int kVolumes = 2;
constexpr int kChapters = 2600;  ///< in each volume: more rows than one batch holds

/// Two volumes, their chapters numbered from 1 again, chapter 1234 of the first missing.
std::string Book() {
  std::string book = "简介\n";
  for (int volume = 1; volume <= kVolumes; ++volume) {
    book += "第" + std::to_string(volume) + "卷 卷名\n";
    for (int n = 1; n <= kChapters; ++n) {
      if (volume == 1 && n == 1234) continue;
      book += "第" + std::to_string(n) + "章 标题" + std::to_string(n) + "\n山风吹过。\n";
    }
  }
  return book;
}

/// The chapter numbers in the order `out` lists them, and the folder lines, each as "/name".
std::vector<std::string> Listed(const std::string& out, bool json) {
  std::vector<std::string> listed;
  for (std::size_t at = 0; at < out.size();) {
    std::size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(at, end - at);
    at = end + 1;
    if (json) {
      const std::size_t number = line.find("\"number\": ");
      if (line.find("{\"index\": ") == std::string::npos || number == std::string::npos) continue;
      listed.push_back(line.substr(number + 10, line.find(',', number) - number - 10));
    } else if (!line.empty() && line.back() == '/') {
      listed.push_back("/" + line);
    } else if (line.find("标题") != std::string::npos &&
               line.find_first_not_of(' ') < line.size() &&
               std::isdigit(static_cast<unsigned char>(line[line.find_first_not_of(' ')]))) {
      // "   7       7        15     12 B  第7章 标题7": the second column.
      std::size_t field = line.find_first_not_of(' ');
      field = line.find_first_not_of(' ', line.find(' ', field));
      listed.push_back(line.substr(field, line.find(' ', field) - field));
    }
  }
  return listed;
}

struct RowsCase {
  const char* name;
  std::vector<std::string> options;
  bool json;
  bool folders;
};

class ListRows : public testing::TestWithParam<RowsCase> {};

TEST_P(ListRows, ComeOnceInOrder) {
  const RowsCase& c = GetParam();
  CliRunner cli;
  test::WriteAll(cli / "book.txt", Book());
  std::vector<std::string> args = {"--list", "-e", "utf-8"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("book.txt");
  ASSERT_EQ(cli.Run(args), 0) << cli.Stderr();
  std::vector<std::string> expected;
  for (int volume = 1; volume <= kVolumes; ++volume) {
    if (c.folders)
      expected.push_back("/0" + std::to_string(volume) + "_第" + std::to_string(volume) +
                         "卷 卷名/");
    for (int n = 1; n <= kChapters; ++n) {
      if (volume != 1 || n != 1234) expected.push_back(std::to_string(n));
    }
  }
  const std::vector<std::string> listed = Listed(cli.Stdout(), c.json);
  ASSERT_EQ(listed.size(), expected.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    ASSERT_EQ(listed[i], expected[i]) << "row " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ListRows,
    testing::Values(RowsCase{"TableDetected", {"--auto"}, false, false},
                    RowsCase{"JsonDetected", {"--auto", "--json"}, true, false},
                    RowsCase{"TableInFolders",
                             {"--regex", "^第(?<n>\\d+)章", "--volume-regex", "^第\\d+卷",
                              "--volume-folders"},
                             false,
                             true},
                    RowsCase{"JsonInFolders",
                             {"--regex", "^第(?<n>\\d+)章", "--volume-regex", "^第\\d+卷",
                              "--volume-folders", "--json"},
                             true,
                             false}),
    [](const testing::TestParamInfo<RowsCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sekato::cli
