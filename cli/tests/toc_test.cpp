#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "clirunner.h"
#include "tocfile.h"

namespace sekato::cli {
namespace {

namespace fs = std::filesystem;
using test::CliRunner;
using Files = std::map<std::string, std::string>;

Files Pieces(const fs::path& dir) {
  Files files;
  if (!fs::exists(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    files[entry.path().filename()] = test::ReadAll(entry.path());
  }
  return files;
}

std::string Piece(int n) {
  std::string number = std::to_string(n);
  return "book_" + std::string(3 - std::min<std::size_t>(3, number.size()), '0') + number + ".txt";
}

TEST(TocFile, ReadsBothFormsAndSaysWhereTheyGoWrong) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::int64_t> lines;  ///< empty with `error` set: refused
    std::vector<std::string> titles;
    std::string error;  ///< a piece of the message
  };
  const Case cases[] = {
      {"json",
       R"({"version": 2, "sourceBytes": 9, "hash": "00ff", "headings": [{"line": 3, "title": "甲",
          "offset": 1, "file": "x"}, {"line": 7}]})",
       {3, 7},
       {"甲", ""},
       ""},
      {"json array of one", R"([{"headings": [{"line": 2}]}])", {2}, {""}, ""},
      {"text",
       "# made by hand\n3\n\n7\t尾声\r\n12:第十二章 原文\n",
       {3, 7, 12},
       {"", "尾声", ""},
       ""},
      {"truncated json", R"({"headings": [{"line": 3},)", {}, {}, "line 1, column 27"},
      {"not json", "{\"headings\": [}", {}, {}, "parse error"},
      {"not the format", R"({"lines": [3]})", {}, {}, "\"headings\""},
      {"empty array", "[]", {}, {}, "\"headings\""},
      {"a number alone", "[3]", {}, {}, "\"headings\""},
      {"empty headings", R"({"headings": []})", {}, {}, ""},
      {"line not a number", R"({"headings": [{"line": "3"}]})", {}, {}, "heading 1"},
      {"text not a number", "3\nabc\n", {}, {}, "line 2"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto list = TocFile::Parse(c.text, error);
    if (!c.error.empty()) {
      EXPECT_FALSE(list) << c.name;
      EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
      continue;
    }
    ASSERT_TRUE(list) << c.name << ": " << error;
    std::vector<std::int64_t> lines;
    std::vector<std::string> titles;
    for (const auto& entry : list->entries) {
      lines.push_back(entry.line);
      titles.push_back(entry.title);
    }
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(titles, c.titles) << c.name;
  }
}

// The sample novel split by 第 回: 121 chapters, each piece ending in the break before the
// next heading, so pieces placed one after the other give the text they cover.
class TocCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(SEKATO_SAMPLES_DIR) / "sanguoyanyi.gbk.txt", cli / "book.txt");
  }
  std::vector<std::string> Rule(std::vector<std::string> extra) {
    std::vector<std::string> args = {"-q", "--no-ad", "-k", "第 回", "--title-max", "30"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("book.txt");
    return args;
  }
  // The list --list --json writes, edited by a line of Python over `d` (the object).
  void Toc(const std::string& edit) {
    ASSERT_EQ(cli.Run(Rule({"--list", "--json"})), 0) << cli.Stderr();
    test::WriteAll(cli / "raw.json", cli.Stdout());
    const std::string command = "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); " +
                                edit + "; json.dump(d, open(sys.argv[2], \"w\"))' '" +
                                cli / "raw.json" + "' '" + cli / "toc.json" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  CliRunner cli;
};

TEST_F(TocCli, AnEditedListCutsWhereItSaysAndTheRuleWhereItDid) {
  ASSERT_EQ(cli.Run(Rule({"-o", "rule"})), 0) << cli.Stderr();
  const Files rule = Pieces(cli / "rule");
  ASSERT_EQ(rule.size(), 121u);
  struct Case {
    const char* name;
    const char* edit;
    const char* extra;  ///< an option more, or ""
  };
  const Case cases[] = {
      {"unedited", "pass", ""},
      {"removed", "del d[\"headings\"][9]", ""},
      {"added", "h=d[\"headings\"]; h.insert(5, {\"line\": h[4][\"line\"] + 2})", ""},
      {"retitled", "d[\"headings\"][2][\"title\"] = \"改过的题目\"", "--title-names"},
  };
  for (const Case& c : cases) {
    fs::remove_all(cli / "list");
    Toc(c.edit);
    std::vector<std::string> extra = {"-o", "list", "--toc", "toc.json"};
    if (*c.extra) extra.emplace_back(c.extra);
    ASSERT_EQ(cli.Run(Rule(extra)), 0) << c.name << ": " << cli.Stderr();
    const Files list = Pieces(cli / "list");
    const std::string name = c.name;
    if (name == "unedited") {
      EXPECT_EQ(list, rule);
    } else if (name == "removed") {
      // Chapter 10 joins chapter 9; the later pieces move down by one.
      ASSERT_EQ(list.size(), 120u);
      EXPECT_EQ(list.at(Piece(9)), rule.at(Piece(9)) + rule.at(Piece(10)));
      EXPECT_EQ(list.at(Piece(10)), rule.at(Piece(11)));
      EXPECT_EQ(list.at(Piece(120)), rule.at(Piece(121)));
    } else if (name == "added") {
      // Chapter 5 is cut two lines after its heading.
      ASSERT_EQ(list.size(), 122u);
      EXPECT_EQ(list.at(Piece(5)) + list.at(Piece(6)), rule.at(Piece(5)));
      EXPECT_EQ(list.at(Piece(7)), rule.at(Piece(6)));
    } else {
      ASSERT_EQ(list.size(), 121u);
      const auto named = list.find("003_改过的题目.txt");
      ASSERT_NE(named, list.end());
      EXPECT_EQ(named->second, rule.at(Piece(3)));
    }
  }
}

TEST_F(TocCli, ListsThatDoNotFitTheBookAreRefusedAndNothingIsWritten) {
  struct Case {
    const char* name;
    std::string toc;     ///< written to toc.txt; empty: the JSON list of the book
    std::string change;  ///< appended to the book after listing
    bool force;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"other book", "", "x", false, 1, "另一本书"},
      {"other book forced", "", "x", true, 0, ""},
      {"out of range", "1\n999999\n", "", false, 1, "第 2 项的行号 999999"},
      {"not ascending", "5\n5\n", "", false, 1, "第 2 项的行号 5 不大于前一项的 5"},
      {"bad json", "{\"headings\": [{\"line\": 3}", "", false, 1, "parse error at line 1"},
  };
  for (const Case& c : cases) {
    fs::remove_all(cli / "list");
    std::string toc = "toc.txt";
    if (c.toc.empty()) {
      Toc("pass");
      toc = "toc.json";
    } else {
      test::WriteAll(cli / "toc.txt", c.toc);
    }
    if (!c.change.empty()) {
      test::WriteAll(cli / "book.txt", test::ReadAll(cli / "book.txt") + c.change);
    }
    std::vector<std::string> extra = {"-o", "list", "--toc", toc};
    if (c.force) extra.emplace_back("--force");
    EXPECT_EQ(cli.Run(Rule(extra)), c.status) << c.name << ": " << cli.Stderr();
    EXPECT_NE(cli.Stderr().find(c.message), std::string::npos) << c.name << ": " << cli.Stderr();
    EXPECT_EQ(fs::exists(cli / "list"), c.status == 0) << c.name;
  }
}

// The pieces are written while the list is checked: a list found to be another book's only
// once the book was read leaves the folder as it found it, older pieces included.
TEST_F(TocCli, AListFoundWrongAfterThePiecesBeganLeavesTheFolderAsItWas) {
  ASSERT_EQ(cli.Run(Rule({"-o", "rule"})), 0) << cli.Stderr();
  struct Case {
    const char* name;
    const char* edit;
    Files older;  ///< in the folder before the run
    bool force;
    int status;
  };
  const std::string otherHash = "d[\"hash\"] = \"0123456789abcdef\"";
  const Files older = {{Piece(120), "an older piece"}, {"notes.txt", "mine"}};
  const Case cases[] = {
      {"another book", otherHash.c_str(), {}, false, 1},
      {"another book, older pieces", otherHash.c_str(), older, false, 1},
      {"a line past the end", "d[\"headings\"].append({\"line\": 999999})", older, false, 1},
      {"another book forced", otherHash.c_str(), older, true, 0},
  };
  for (const Case& c : cases) {
    fs::remove_all(cli / "list");
    for (const auto& [name, bytes] : c.older) {
      fs::create_directories(cli / "list");
      test::WriteAll(cli / "list" + "/" + name, bytes);
    }
    Toc(c.edit);
    std::vector<std::string> extra = {"-o", "list", "--toc", "toc.json"};
    if (c.force) extra.emplace_back("--force");
    EXPECT_EQ(cli.Run(Rule(extra)), c.status) << c.name << ": " << cli.Stderr();
    if (c.status != 0) {
      EXPECT_EQ(Pieces(cli / "list"), c.older) << c.name;
      EXPECT_EQ(fs::exists(cli / "list"), !c.older.empty()) << c.name;
      continue;
    }
    Files want = Pieces(cli / "rule");
    want["notes.txt"] = "mine";
    EXPECT_EQ(Pieces(cli / "list"), want) << c.name;
  }
}

TEST_F(TocCli, ChaptersKeepTheirNumbersAndJoinConcatenatesThem) {
  ASSERT_EQ(cli.Run(Rule({"-o", "rule"})), 0) << cli.Stderr();
  const Files rule = Pieces(cli / "rule");
  struct Case {
    const char* chapters;
    std::vector<int> pieces;  ///< empty: refused
  };
  const Case cases[] = {
      {"10-12", {10, 11, 12}},      {"1,60", {1, 60}}, {"120-", {120, 121}},
      {"119-500", {119, 120, 121}}, {"500-", {}},
  };
  for (const Case& c : cases) {
    fs::remove_all(cli / "some");
    const int status = cli.Run(Rule({"-o", "some", "--chapters", c.chapters}));
    if (c.pieces.empty()) {
      EXPECT_EQ(status, 1) << c.chapters;
      EXPECT_NE(cli.Stderr().find("121 章"), std::string::npos) << cli.Stderr();
      continue;
    }
    ASSERT_EQ(status, 0) << c.chapters << ": " << cli.Stderr();
    Files expected;
    for (const int n : c.pieces) expected[Piece(n)] = rule.at(Piece(n));
    EXPECT_EQ(Pieces(cli / "some"), expected) << c.chapters;
  }
  ASSERT_EQ(cli.Run({"--chapters", "x-", "book.txt"}), 1);
  EXPECT_NE(cli.Stderr().find("1-50,60,75-"), std::string::npos) << cli.Stderr();
}

TEST_F(TocCli, JoinWritesOneFileInTheEncodingAsked) {
  test::WriteAll(cli / "utf8.txt", "");
  ASSERT_EQ(std::system(("iconv -f GB18030 -t UTF-8 '" + cli / "book.txt" + "' > '" +
                         cli / "utf8.txt" + "'")
                            .c_str()),
            0);
  struct Case {
    const char* source;
    const char* to;
  };
  for (const Case c : {Case{"book.txt", "utf-8"}, Case{"book.txt", "gbk"}, Case{"utf8.txt", "gbk"},
                       Case{"utf8.txt", "utf-16le"}}) {
    fs::remove_all(cli / "rule");
    fs::remove_all(cli / "joined");
    const std::vector<std::string> common = {"-q", "--no-ad", "-k", "第 回", "--title-max",
                                             "30", "--to",    c.to, "-n",    "book"};
    auto rule = common;
    rule.insert(rule.end(), {"-o", "rule", c.source});
    ASSERT_EQ(cli.Run(rule), 0) << cli.Stderr();
    auto join = common;
    join.insert(join.end(), {"-o", "joined", "--chapters", "10-20", "--join", c.source});
    ASSERT_EQ(cli.Run(join), 0) << cli.Stderr();
    const Files pieces = Pieces(cli / "rule");
    std::string expected;
    const bool utf16 = std::string(c.to) == "utf-16le";
    for (int n = 10; n <= 20; ++n) {
      const std::string piece = pieces.at(Piece(n));
      expected += utf16 && n > 10 ? piece.substr(2) : piece;  // one byte-order mark
    }
    EXPECT_EQ(Pieces(cli / "joined"), (Files{{"book_010-020.txt", expected}}))
        << c.source << " " << c.to;
  }
}

// The most headings --list --json lists, a hundred thousand, read back by --toc: the pieces
// are the rule's, and chapter numbers past 999 name pieces and joined files in full.
TEST_F(TocCli, AHundredThousandHeadingsSplitAsTheRuleDoes) {
  std::string book;
  for (int n = 1; n <= 100000; ++n) {
    book += "第" + std::to_string(n) + "章 题\r\n正文" + std::to_string(n) + "\r\n";
  }
  test::WriteAll(cli / "many.txt", book);
  const std::vector<std::string> common = {"-q", "--no-ad", "-k", "第 章", "-p", "1000"};
  auto listed = common;
  listed.insert(listed.end(), {"--list", "--json", "many.txt"});
  ASSERT_EQ(cli.Run(listed), 0) << cli.Stderr();
  test::WriteAll(cli / "many.json", cli.Stdout());
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    std::vector<std::string> names;  ///< of the pieces written, when not the rule's
  };
  const Case cases[] = {
      {"whole list", {}, {}},
      {"last chapters joined", {"--chapters", "99990-", "--join"}, {"many_99990-100000.txt"}},
  };
  auto rule = common;
  rule.insert(rule.end(), {"-o", "rule", "many.txt"});
  ASSERT_EQ(cli.Run(rule), 0) << cli.Stderr();
  const Files expected = Pieces(cli / "rule");
  ASSERT_EQ(expected.size(), 100u);
  for (const Case& c : cases) {
    fs::remove_all(cli / "list");
    auto args = common;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    args.insert(args.end(), {"--toc", "many.json", "-o", "list", "many.txt"});
    ASSERT_EQ(cli.Run(args), 0) << c.name << ": " << cli.Stderr();
    const Files pieces = Pieces(cli / "list");
    if (c.names.empty()) {
      EXPECT_EQ(pieces, expected) << c.name;
      continue;
    }
    std::vector<std::string> names;
    for (const auto& [name, text] : pieces) names.push_back(name);
    EXPECT_EQ(names, c.names) << c.name;
    const std::string tail = book.substr(book.find("第99990章"));
    EXPECT_EQ(pieces.begin()->second, tail.substr(0, tail.size() - 2)) << c.name;
  }
}

}  // namespace
}  // namespace sekato::cli
