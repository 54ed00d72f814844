#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "clirunner.h"

namespace sekato::cli {
namespace {

using test::CliRunner;
namespace fs = std::filesystem;

// A UTF-8 book with the lines sites add.
const char kBook[] =
    "第1章 开端\n正文。本章未完，请点击下一页继续阅读\n(本章完)\n第2章 头发\n"
    "笔趣阁笔趣阁正文\n本章未完\n";
const char kRules[] =
    "# 网站加的行\n"
    "本章未完.*\n"
    "^\\(本章完\\)$\n"
    "\n"
    "(笔趣阁)+=>[$1]\n";

TEST(CliTransform, ListCountsWhatEachRuleReplaced) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", kBook);
  test::WriteAll(cli / "rules.txt", kRules);
  ASSERT_EQ(cli.Run({"--list", "--rules", "rules.txt", "--replace", "从未出现", "book.txt"}), 0)
      << cli.Stderr();
  const std::vector<std::string> lines = {
      "规则 1 “本章未完.*”：替换 2 处\n", "规则 2 “^\\(本章完\\)…”：替换 1 处\n",
      "规则 3 “(笔趣阁)+”：替换 1 处\n", "规则 4 “从未出现”：替换 0 处\n"};
  for (const std::string& line : lines) {
    EXPECT_NE(cli.Stdout().find(line), std::string::npos) << line << cli.Stdout();
  }
  ASSERT_EQ(cli.Run({"--list", "--json", "--rules", "rules.txt", "--convert", "s2t", "book.txt"}),
            0);
  EXPECT_NE(
      cli.Stdout().find("\"convert\": \"s2t\", \"replace\": [\"本章未完.*\", "
                        "\"^\\\\(本章完\\\\)$\", \"(笔趣阁)+=>[$1]\"], \"replaced\": [2, 1, 1]"),
      std::string::npos)
      << cli.Stdout();
  EXPECT_NE(cli.Stdout().find("第2章 頭髮"), std::string::npos) << cli.Stdout();
}

// A list made with rules and a conversion splits with them again: titles stay converted.
TEST(CliTransform, AListMadeWithRulesIsUsedWithThem) {
  CliRunner cli;
  test::WriteAll(cli / "book.txt", kBook);
  test::WriteAll(cli / "rules.txt", kRules);
  ASSERT_EQ(cli.Run({"--list", "--json", "--rules", "rules.txt", "--convert", "s2t", "book.txt"}),
            0);
  test::WriteAll(cli / "list.json", cli.Stdout());
  ASSERT_EQ(cli.Run({"--no-ad", "--title-names", "--toc", "list.json", "book.txt"}), 0)
      << cli.Stderr();
  EXPECT_EQ(test::ReadAll(cli / "book/002_第2章 頭髮.txt"), "第2章 頭髮\r\n[筆趣閣]正文\r\n");
  // Without --trim the line a rule emptied stays, empty.
  EXPECT_EQ(test::ReadAll(cli / "book/001_第1章 開端.txt"), "第1章 開端\r\n正文。\r\n\r\n");
}

TEST(CliTransform, RefusesWhatCannotBeUsed) {
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const std::vector<Case> cases = {
      {{"--rules", "bad.txt"}, "替换规则“bad.txt”第 3 行“本章(未完”有错"},
      {{"--replace", "ok", "--replace", "[章"}, "替换规则第 2 条“[章”有错"},
      {{"--rules", "missing.txt"}, "无法读取替换规则文件“missing.txt”"},
      {{"--convert", "s2x"}, "--convert"},
  };
  for (const auto& c : cases) {
    CliRunner cli;
    test::WriteAll(cli / "book.txt", kBook);
    test::WriteAll(cli / "bad.txt", "# x\nok\n本章(未完\n");
    std::vector<std::string> args = c.args;
    args.push_back("book.txt");
    EXPECT_EQ(cli.Run(args), 1) << c.said;
    EXPECT_NE(cli.Stderr().find(c.said), std::string::npos) << cli.Stderr();
    EXPECT_FALSE(fs::exists(cli / "book")) << c.said;
  }
}

}  // namespace
}  // namespace sekato::cli
