#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "linetransform.h"
#include "sekato/chapterscan.h"
#include "sekato/texttransform.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::OptionsFor;
using test::RecordingHost;
using test::TempDir;

// Options for a UTF-8 book whose keywords and texts are UTF-8 too.
SplitOptions Utf8Options(const TempDir& dir, const std::string& book) {
  test::WriteFile(dir / "book.txt", book);
  SplitOptions o = OptionsFor(dir / "book.txt", dir / "out");
  o.encoding = Encoding::Utf8;
  o.textEncoding = Encoding::Utf8;
  o.keywords = "第 章";
  return o;
}

std::vector<ReplaceRuleText> Rules(const std::vector<std::string>& texts) {
  std::vector<ReplaceRuleText> rules;
  for (const std::string& text : texts) {
    rules.push_back(ReplaceRuleText::Parse(text, static_cast<std::int64_t>(rules.size()) + 1));
  }
  return rules;
}

// What OpenCC's own command-line tool makes of `text`.
std::string OpenccTool(const std::string& config, const std::string& text) {
  TempDir dir;
  test::WriteFile(dir / "in.txt", text);
  const std::string command =
      "opencc -c " + config + ".json -i '" + (dir / "in.txt") + "' -o '" + (dir / "out.txt") + "'";
  if (std::system(command.c_str()) != 0) return "(opencc failed)";
  return test::ReadFile(dir / "out.txt");
}

TEST(RulesFile, ReadsRulesAndSkipsCommentsAndBlankLines) {
  const std::string text =
      "\xEF\xBB\xBF# 网站加的行\r\n"
      "本章未完.*\r\n"
      "\n"
      "   # indented comment\n"
      "(\\d+)章=>第$1章\n"
      "(?<site>笔趣阁)=>[${site}]\n"
      "最新章节请到.*阅读=>";
  const std::vector<ReplaceRuleText> rules = ParseRulesFile(text, "r.txt");
  struct Expected {
    std::string pattern;
    std::string replacement;
    std::int64_t line;
  };
  const std::vector<Expected> expected = {{"本章未完.*", "", 2},
                                          {"(\\d+)章", "第$1章", 5},
                                          {"(?<site>笔趣阁)", "[${site}]", 6},
                                          {"最新章节请到.*阅读", "", 7}};
  ASSERT_EQ(rules.size(), expected.size());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].pattern, expected[i].pattern) << i;
    EXPECT_EQ(rules[i].replacement, expected[i].replacement) << i;
    EXPECT_EQ(rules[i].line, expected[i].line) << i;
    EXPECT_EQ(rules[i].file, "r.txt");
  }
}

// A rule that cannot be used is refused before anything is made, naming its line in the
// file and why; the chapter list refuses it alike.
TEST(RulesFile, UnusableRuleIsRefusedWithItsLine) {
  struct Case {
    std::string rule;
    std::string said;
  };
  const std::vector<Case> cases = {
      {"本章(未完", "missing closing parenthesis"},
      {"(a)=>$2", "names group 2"},
      {"(?<w>a)=>${nm}", "names group nm"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    SplitOptions o = Utf8Options(dir, "第1章\n正文\n");
    o.replaceRules = ParseRulesFile("# c\nok=>fine\n\n" + c.rule + "\n", "r.txt");
    RecordingHost host;
    EXPECT_EQ(test::Split(o, host), SplitOutcome::Refused) << c.rule;
    EXPECT_NE(host.Message().find("“r.txt”第 4 行"), std::string::npos) << host.Message();
    EXPECT_NE(host.Message().find(c.said), std::string::npos) << host.Message();
    EXPECT_FALSE(std::filesystem::exists(dir / "out")) << c.rule;
    const ScanResult listed = ChapterScan::Run(o);
    EXPECT_EQ(listed.status, ScanResult::Status::Refused) << c.rule;
    EXPECT_EQ(listed.error.id, MessageId::BadReplaceRule) << c.rule;
  }
}

TEST(LineTransform, AppliesRulesInOrderAndCountsThem) {
  struct Case {
    const char* what;
    std::vector<std::string> rules;
    std::string line;
    std::string expected;
    std::vector<std::int64_t> counts;
  };
  const std::vector<Case> cases = {
      {"delete inside a line", {"本章未完.*"}, "正文。本章未完，请点击下一页", "正文。", {1}},
      {"numbered group", {"(\\d+)章=>第$1章"}, "12章 开端", "第12章 开端", {1}},
      {"named group", {"(?<w>笔趣阁)=>[${w}]"}, "笔趣阁笔趣阁", "[笔趣阁][笔趣阁]", {2}},
      {"every match", {"a"}, "banana", "bnn", {3}},
      {"in order", {"甲=>乙", "乙=>丙"}, "甲乙", "丙丙", {1, 2}},
      {"no literal", {"^\\s+"}, "  正文", "正文", {1}},
      {"untouched", {"广告"}, "正文", "正文", {0}},
      {"empties", {"^\\(本章完\\)$"}, "(本章完)", "", {1}},
      {"dollar", {"元=>$$"}, "5元", "5$", {1}},
      {"no line break made", {"a=>x\\ny"}, "bab", "bxyb", {1}},
  };
  for (const Case& c : cases) {
    SplitOptions o;
    o.replaceRules = Rules(c.rules);
    Message message;
    auto transform = LineTransform::Make(o, message);
    ASSERT_TRUE(transform) << c.what << ": " << message.Text();
    std::string out;
    std::string error;
    ASSERT_TRUE(transform->Apply(c.line, out, error)) << c.what << ": " << error;
    EXPECT_EQ(out, c.expected) << c.what;
    EXPECT_EQ(transform->Counts(), c.counts) << c.what;
  }
}

TEST(LineTransform, LongLinesAreCutAtSentenceEndsOrCharacters) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t limit;
    std::size_t expected;
  };
  const std::vector<Case> cases = {
      {"fits", "一二三", 9, 9},
      {"after the last full stop", "一。二三四", 9, 6},
      {"after an ellipsis", "一…二三四", 10, 6},
      {"at a character", "一二三四", 7, 6},
      {"at a character, ASCII", "abcdef", 4, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LineTransform::CutPoint(c.text, c.limit), c.expected) << c.what;
  }
}

// A rule that leaves nothing of a line: clean-up drops the line, without it the line stays
// as an empty line.
TEST(TransformedSplit, EmptiedLineDroppedOnlyWithCleanUp) {
  for (const bool trim : {false, true}) {
    TempDir dir;
    SplitOptions o = Utf8Options(dir, "第1章\n正文\n本章未完，请翻页\n尾\n");
    o.mode = SplitMode::BySize;
    o.trimSpaces = trim;
    o.replaceRules = Rules({"本章未完.*"});
    RecordingHost host;
    ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
    EXPECT_EQ(test::JoinPieces(dir / "out"),
              trim ? "第1章\r\n正文\r\n尾" : "第1章\r\n正文\r\n\r\n尾")
        << trim;
  }
}

class ScriptConversionTest : public ::testing::TestWithParam<ScriptConversion> {};

// Each direction gives what OpenCC's own tool gives, through a whole split.
TEST_P(ScriptConversionTest, SplitMatchesOpenccTool) {
  const std::string name(ScriptConversions::Name(GetParam()));
  const std::string text =
      ScriptConversions::ToSimplified(GetParam())
          ? "頭髮的故事，軟體與網路，鼠標和滑鼠。\n後來他們發現了這個計程車。\n"
          : "头发的故事，软件与网络，鼠标。\n后来他们发现了这个出租车。\n";
  TempDir dir;
  SplitOptions o = Utf8Options(dir, text);
  o.mode = SplitMode::BySize;
  o.convert = GetParam();
  RecordingHost host;
  ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
  std::string expected = OpenccTool(name, text);
  while (expected.ends_with('\n')) expected.pop_back();
  std::string joined = test::JoinPieces(dir / "out");
  std::string crlf;
  for (const char c : expected) c == '\n' ? crlf += "\r\n" : crlf += c;
  EXPECT_EQ(joined, crlf) << name;
  EXPECT_NE(joined.substr(0, 6), text.substr(0, 6)) << name;
}

INSTANTIATE_TEST_SUITE_P(Directions, ScriptConversionTest,
                         ::testing::ValuesIn(ScriptConversions::kAll), [](const auto& info) {
                           return std::string(ScriptConversions::Name(info.param));
                         });

// Headings are matched in the converted text, and title names use it.
TEST(TransformedSplit, HeadingsAfterConversionNameThePieces) {
  TempDir dir;
  SplitOptions o = Utf8Options(dir, "序\n第一章 头发\n正文\n第二章 后来\n正文\n");
  o.convert = ScriptConversion::S2T;
  o.naming = PieceNaming::ChapterTitle;
  o.regex = "^第.章 (頭髮|後來)";
  RecordingHost host;
  ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(test::ListDir(dir / "out"),
            (std::vector<std::string>{"001_第一章 頭髮.txt", "002_第二章 後來.txt"}));
  const ScanResult listed = ChapterScan::Run(o);
  ASSERT_EQ(listed.status, ScanResult::Status::Done);
  ASSERT_EQ(listed.headings.size(), 2u);
  EXPECT_EQ(listed.headings[1].line, 4);
}

// The list counts what each rule replaced over the whole book.
TEST(TransformedSplit, ChapterListCountsEachRule) {
  TempDir dir;
  SplitOptions o =
      Utf8Options(dir, "第1章\n甲本章未完，点击\n笔趣阁笔趣阁\n第2章\n本章未完\n(本章完)\n");
  o.replaceRules = Rules({"本章未完.*", "笔趣阁", "^\\(本章完\\)$", "从未出现"});
  const ScanResult listed = ChapterScan::Run(o);
  ASSERT_EQ(listed.status, ScanResult::Status::Done) << listed.error.Text();
  EXPECT_EQ(listed.ruleCounts, (std::vector<std::int64_t>{2, 2, 1, 0}));
  EXPECT_EQ(listed.headingCount, 2);
  EXPECT_EQ(listed.sourceEncoding, Encoding::Utf8);
}

// A converted character the pieces cannot hold stops the run: the lines before it are
// written, and the message names the line and the piece cut short.
TEST(TransformedSplit, UnwritableConvertedTextStopsTheRun) {
  TempDir dir;
  SplitOptions o = Utf8Options(dir, "第1章\n這是第一行\n第2章\n這個這個\n");
  o.mode = SplitMode::BySize;
  o.outEncoding = Encoding::Big5;
  o.keywords = "";
  RecordingHost plain;
  ASSERT_EQ(test::Split(o, plain), SplitOutcome::Completed) << plain.Message();
  std::filesystem::remove_all(dir / "out");
  o.convert = ScriptConversion::T2S;
  RecordingHost host;
  EXPECT_EQ(test::Split(o, host), SplitOutcome::Failed);
  EXPECT_NE(host.Message().find("第 2 行"), std::string::npos) << host.Message();
  EXPECT_NE(host.Message().find("“这”"), std::string::npos) << host.Message();
  EXPECT_NE(host.Message().find("book_001.txt"), std::string::npos) << host.Message();
  EXPECT_EQ(TextCodec::Convert(test::JoinPieces(dir / "out"), Encoding::Big5, Encoding::Utf8),
            "第1章");
}

// Each mode cuts the transformed book as it cuts a book that was written so: even mode
// measures the transformed text, size mode counts its bytes, chapter mode its headings.
TEST(TransformedSplit, EveryModeCutsAsTheTransformedBook) {
  std::string book;
  std::string transformed;
  for (int i = 0; i < 300; ++i) {
    const std::string line = "正文第" + std::to_string(i) + "行。";
    if (i % 50 == 0) {
      book += "第" + std::to_string(i / 50 + 1) + "章\n";
      transformed += "第" + std::to_string(i / 50 + 1) + "章\n";
    }
    book += line + "本章未完，请点击下一页继续阅读\n";
    transformed += line + "\n";
  }
  struct Case {
    const char* what;
    SplitMode mode;
  };
  for (const Case& c : {Case{"even", SplitMode::Evenly}, Case{"size", SplitMode::BySize},
                        Case{"chapter", SplitMode::ByChapter}}) {
    TempDir dir;
    SplitOptions o = Utf8Options(dir, book);
    o.mode = c.mode;
    o.parts = 4;
    o.maxKb = 3;
    o.replaceRules = Rules({"本章未完.*"});
    RecordingHost host;
    ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << c.what << host.Message();
    TempDir plainDir;
    SplitOptions plain = Utf8Options(plainDir, transformed);
    plain.mode = c.mode;
    plain.parts = 4;
    plain.maxKb = 3;
    plain.sourceTitle = plain.customName = "book";
    RecordingHost plainHost;
    ASSERT_EQ(test::Split(plain, plainHost), SplitOutcome::Completed) << c.what;
    const auto names = test::ListDir(dir / "out");
    ASSERT_EQ(names, test::ListDir(plainDir / "out")) << c.what;
    for (const std::string& name : names) {
      EXPECT_EQ(test::ReadFile(dir / ("out/" + name)), test::ReadFile(plainDir / ("out/" + name)))
          << c.what << " " << name;
    }
  }
}

// UTF-8 pieces of a book with a byte-order mark start with one, rules or not.
TEST(TransformedSplit, KeepsTheMarkOfUtf8Pieces) {
  TempDir dir;
  SplitOptions o = Utf8Options(dir, "\xEF\xBB\xBF第1章\n正文广告\n");
  o.mode = SplitMode::BySize;
  o.replaceRules = Rules({"广告"});
  RecordingHost host;
  ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(test::JoinPieces(dir / "out"), "\xEF\xBB\xBF第1章\r\n正文");
}

}  // namespace
}  // namespace sekato::engine
