#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "clirunner.h"
#include "sekato/gbkcodec.h"

namespace sekato::cli {
namespace {

using test::CliRunner;
namespace fs = std::filesystem;

// A UTF-8 book in 【第N章】 form under a contents block, with body lines that start alike.
std::string Book() {
  std::string book = "目录\r\n";
  for (int n = 1; n <= 5; ++n) book += "【第" + std::to_string(n) + "章】标题\r\n";
  for (int n = 1; n <= 5; ++n) {
    book += "【第" + std::to_string(n) + "章】标题\r\n";
    book += "　　第三天，天刚亮他就起来了。\r\n　　他把第二章节又读了一遍。\r\n";
  }
  return book;
}

TEST(CliAutoDetect, ListSaysWhatItFoundAndHowToSplitAlike) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", Book());
  ASSERT_EQ(cli.Run({"--list", "--auto", "book.txt"}), 0) << cli.Stderr();
  EXPECT_NE(cli.Stdout().find("自动识别：【第N章】（数字），共 5 章，第 2–6 行是目录"),
            std::string::npos)
      << cli.Stdout();
  EXPECT_NE(cli.Stdout().find("同样分割的选项：--regex '^"), std::string::npos);
  EXPECT_NE(cli.Stdout().find("--headings-from 7 --title-max 20"), std::string::npos);
  ASSERT_EQ(cli.Run({"--list", "--json", "--auto", "book.txt"}), 0) << cli.Stderr();
  EXPECT_NE(cli.Stdout().find("\"detection\": {\"found\": true"), std::string::npos);
  EXPECT_NE(cli.Stdout().find("\"contents\": [2, 6]"), std::string::npos);
}

TEST(CliAutoDetect, SplitsAtTheChaptersAfterTheContents) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", Book());
  ASSERT_EQ(cli.Run({"-q", "--no-ad", "--auto", "book.txt"}), 0) << cli.Stderr();
  std::size_t pieces = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(cli / "book")) ++pieces;
  EXPECT_EQ(pieces, 5U);
  // The contents block stays with the first chapter, in the preface.
  EXPECT_EQ(test::ReadAll(cli / "book/book_001.txt").rfind("目录\r\n【第1章】标题\r\n", 0), 0U);
}

TEST(CliAutoDetect, RefusedWithARuleOrWithoutHeadings) {
  CliRunner cli;
  test::WriteAll(cli / "plain.txt", "　　山风吹过。\r\n　　夜深了。\r\n");
  EXPECT_EQ(cli.Run({"--auto", "plain.txt"}), 1);
  EXPECT_NE(cli.Stderr().find("自动识别没有找到章节标题"), std::string::npos) << cli.Stderr();
  EXPECT_FALSE(fs::exists(cli / "plain"));
  EXPECT_NE(cli.Run({"--auto", "--regex", "^x", "plain.txt"}), 0);
}

// Two volumes of two chapters, with a preface.
std::string VolumeBook() {
  std::string book = "简介：一个故事。\r\n";
  int chapter = 0;
  for (const char* volume : {"第一卷 风起", "第二卷 云涌"}) {
    book += std::string(volume) + "\r\n";
    for (int n = 0; n < 2; ++n) {
      book += "第" + std::to_string(++chapter) + "章 标题\r\n　　第三天，天刚亮他就起来了。\r\n";
    }
  }
  return book;
}

TEST(CliAutoDetect, VolumeFoldersWithARuleAndInTheList) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", VolumeBook());
  const std::vector<std::string> rule = {
      "--regex", "^第(?<n>\\d+)章", "--volume-regex", "^第.卷", "--volume-folders", "-p", "5"};
  std::vector<std::string> args = rule;
  args.insert(args.end(), {"--list", "book.txt"});
  ASSERT_EQ(cli.Run(args), 0) << cli.Stderr();
  EXPECT_NE(cli.Stdout().find("01_第一卷 风起/\n   1"), std::string::npos) << cli.Stdout();
  EXPECT_NE(cli.Stdout().find("02_第二卷 云涌/\n   2"), std::string::npos) << cli.Stdout();
  args = rule;
  args.insert(args.end(), {"-q", "--no-ad", "book.txt"});
  ASSERT_EQ(cli.Run(args), 0) << cli.Stderr();
  EXPECT_EQ(test::ReadAll(cli / "book/01_第一卷 风起/book_001.txt"),
            "简介：一个故事。\r\n第一卷 风起\r\n第1章 标题\r\n　　第三天，天刚亮他就起来了。\r\n"
            "第2章 标题\r\n　　第三天，天刚亮他就起来了。\r\n");
  EXPECT_TRUE(fs::exists(cli / "book/02_第二卷 云涌/book_002.txt"));
}

TEST(CliAutoDetect, VolumeFoldersNeedVolumesAndNoList) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", VolumeBook());
  const std::vector<std::vector<std::string>> refused = {
      {"--volume-folders", "book.txt"},
      {"--volume-folders", "--regex", "^第", "book.txt"},
      {"--volume-folders", "--auto", "-m", "size", "book.txt"},
      {"--volume-folders", "--auto", "--chapters", "1-2", "book.txt"},
  };
  for (const auto& args : refused) {
    EXPECT_EQ(cli.Run(args), 1) << args.size();
    EXPECT_NE(cli.Stderr().find("--volume-folders"), std::string::npos) << cli.Stderr();
  }
  EXPECT_FALSE(fs::exists(cli / "book"));
}

// The words of a shell command line: runs of blanks part them, '…' quotes, \' is a quote.
std::vector<std::string> ShellWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\'') {
      const std::size_t close = line.find('\'', i + 1);
      word += line.substr(i + 1, close - i - 1);
      i = close;
      inWord = true;
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
      inWord = true;
    } else if (c == ' ') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// Every file under `dir`, by its path there, with its bytes.
std::map<std::string, std::string> Files(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), dir).string()] = test::ReadAll(entry.path());
  }
  return files;
}

class CliAutoDetectGbk : public testing::TestWithParam<std::vector<std::string>> {};

// A GBK book split with --auto, and with the options --list --auto prints to split alike:
// the same files, names and bytes, however the pieces are cut and named.
TEST_P(CliAutoDetectGbk, SplitsAsTheOptionsItPrints) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", *engine::GbkCodec::FromUtf8(Book() + VolumeBook()));
  ASSERT_EQ(cli.Run({"--list", "--auto", "book.txt"}), 0) << cli.Stderr();
  const std::string prefix = "同样分割的选项：";
  const std::size_t at = cli.Stdout().find(prefix);
  ASSERT_NE(at, std::string::npos) << cli.Stdout();
  const std::size_t from = at + prefix.size();
  const std::vector<std::string> rule =
      ShellWords(cli.Stdout().substr(from, cli.Stdout().find('\n', from) - from));
  ASSERT_GE(rule.size(), 2U);
  for (const auto& [out, how] : {std::pair{"auto", std::vector<std::string>{"--auto"}},
                                 std::pair{"rule", rule}}) {
    std::vector<std::string> args = {"-q", "--no-ad", "-o", cli / out};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    args.insert(args.end(), how.begin(), how.end());
    args.push_back("book.txt");
    ASSERT_EQ(cli.Run(args), 0) << cli.Stderr();
  }
  const auto want = Files(cli / "rule");
  EXPECT_GT(want.size(), 1U);
  EXPECT_EQ(Files(cli / "auto"), want);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliAutoDetectGbk,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"-p", "2"},
                    std::vector<std::string>{"--title-names", "-p", "3"},
                    std::vector<std::string>{"--head", "卷首", "--tail", "卷尾"},
                    std::vector<std::string>{"--trim"},
                    std::vector<std::string>{"--to", "utf-8"}));

}  // namespace
}  // namespace sekato::cli
