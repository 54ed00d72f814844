#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "clirunner.h"

namespace sekato::cli {
namespace {

using test::CliRunner;
namespace fs = std::filesystem;

// A UTF-8 book whose body holds lines a loose rule would take for headings.
const char kBook[] =
    "序章\r\n　　天色将明。\r\n第1章 开端\r\n他把第二章节又读了一遍。\r\n第2章 风起\r\n"
    "第二节课下了。\r\n第2章 风起\r\n第4章 云涌\r\n";
const char kRule[] = "^第(?<n>\\d+)章";

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CliHeadingRule, SplitsByTheRuleAndItsChain) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", kBook);
  ASSERT_EQ(cli.Run({"--no-ad", "--title-names", "--regex", kRule, "book.txt"}), 0) << cli.Stderr();
  EXPECT_EQ(
      Names(cli / "book"),
      (std::vector<std::string>{"001_第1章 开端.txt", "002_第2章 风起.txt", "003_第4章 云涌.txt"}));
  // The repeated heading stays body text of chapter 2; the summary names the missing 3.
  EXPECT_EQ(test::ReadAll(cli / "book/002_第2章 风起.txt"),
            "第2章 风起\r\n第二节课下了。\r\n第2章 风起\r\n");
  EXPECT_NE(cli.Stderr().find("3"), std::string::npos) << cli.Stderr();
}

TEST(CliHeadingRule, ExcludeDropsLinesTheRuleWouldTake) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", kBook);
  ASSERT_EQ(cli.Run({"--list", "--regex", "^第.{1,2}[章节]", "--exclude", "节课|章节", "book.txt"}),
            0)
      << cli.Stderr();
  EXPECT_EQ(cli.Stdout().find("第二节课"), std::string::npos) << cli.Stdout();
  EXPECT_NE(cli.Stdout().find("第4章 云涌"), std::string::npos) << cli.Stdout();
}

TEST(CliHeadingRule, RefusesBadPatternsBeforeWritingAnything) {
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const std::vector<Case> cases = {
      {{"--regex", "第(\\d+章"},
       "正则表达式“第(\\d+章”有错（第 6 个字符之后）：missing closing parenthesis"},
      {{"--regex", "(第\\d+章)?"}, "能匹配空文本"},
      {{"--regex", kRule, "--exclude", "[章"}, "排除用的正则表达式“[章”有错"},
      {{"--exclude", "章节"}, "--exclude requires --regex"},
  };
  for (const auto& c : cases) {
    CliRunner cli;
    test::WriteAll(cli / "book.txt", kBook);
    std::vector<std::string> args = c.args;
    args.push_back("book.txt");
    EXPECT_EQ(cli.Run(args), 1) << c.said;
    EXPECT_NE(cli.Stderr().find(c.said), std::string::npos) << cli.Stderr();
    EXPECT_FALSE(fs::exists(cli / "book")) << c.said;
  }
}

TEST(CliHeadingRule, ListShowsTheRuleInUse) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", kBook);
  ASSERT_EQ(cli.Run({"--list", "--regex", kRule, "book.txt"}), 0) << cli.Stderr();
  EXPECT_EQ(cli.Stdout().rfind(std::string("标题规则：正则表达式 ") + kRule + "\n", 0), 0u)
      << cli.Stdout();
  ASSERT_EQ(cli.Run({"--list", "--json", "--regex", kRule, "--exclude", "x", "book.txt"}), 0);
  EXPECT_NE(cli.Stdout().find("\"regex\": \"^第(?<n>\\\\d+)章\", \"exclude\": \"x\""),
            std::string::npos)
      << cli.Stdout();
  EXPECT_NE(cli.Stdout().find("\"headingCount\": 3"), std::string::npos) << cli.Stdout();
}

}  // namespace
}  // namespace sekato::cli
