#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "clirunner.h"

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

}  // namespace
}  // namespace sekato::cli
