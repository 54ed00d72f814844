#include "headingrule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "sekato/chapterscan.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;
using Kind = NumberingIssue::Kind;

// The rule the README shows, as people share it for reader apps.
constexpr const char* kSharedRule =
    "^[ 　\\t]{0,4}(?:序章|楔子|第?\\s{0,4}[\\d〇零一二两三四五六七八九十百千万壹贰叁肆伍陆柒捌玖拾"
    "佰仟]+?\\s{0,4}(?:章|节(?!课)|卷|集(?![合和]))).{0,30}$";

HeadingRule::Patterns Compiled(const std::string& pattern, const std::string& exclude = "") {
  Message refusal;
  auto patterns = HeadingRule::Compile(pattern, exclude, refusal);
  EXPECT_TRUE(patterns) << refusal.Text();
  return patterns ? *patterns : HeadingRule::Patterns{};
}

// The lines of `book` (UTF-8) the rule takes, in order, with the numbers they carry.
std::vector<std::pair<std::string, std::int64_t>> Headings(const std::string& pattern,
                                                           const std::vector<std::string>& book,
                                                           const std::string& exclude = "",
                                                           std::int64_t titleMax = 20) {
  HeadingRule rule(Compiled(pattern, exclude), titleMax, TextRules::For(Encoding::Utf8));
  std::vector<std::pair<std::string, std::int64_t>> found;
  for (const std::string& line : book) {
    if (rule.IsHeading(line)) found.emplace_back(line, rule.LastNumber());
  }
  return found;
}

std::vector<std::string> Lines(const std::vector<std::pair<std::string, std::int64_t>>& found) {
  std::vector<std::string> lines;
  for (const auto& [line, number] : found) lines.push_back(line);
  return lines;
}

// A short book whose body holds the lines that fool a careless rule.
const std::vector<std::string> kTrapBook = {
    "序章",
    "　　天色将明。",
    "第一章 开端",
    "他把第二章节又读了一遍。",
    "第三天，天刚亮他就起来了。",
    "第二节课下了。",
    "“第九部队，集合！”",
    "第2章 风起",
    "　　第三章 云涌",
    "第三集合点",
    "第四卷 终局",
    "这是一段很长很长的正文，虽然它以第五章开头的字样出现在中间，但它远远长过标题的限度。",
};

struct PatternCase {
  const char* name;
  const char* pattern;
  const char* exclude;
  std::vector<std::string> headings;
};

class RulePatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(RulePatterns, FindTheHeadingsAndPassOverTheTraps) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(Lines(Headings(c.pattern, kTrapBook, c.exclude)), c.headings);
}

INSTANTIATE_TEST_SUITE_P(
    Book, RulePatterns,
    ::testing::Values(
        PatternCase{"SharedRule",
                    kSharedRule,
                    "",
                    {"序章", "第一章 开端", "第2章 风起", "　　第三章 云涌", "第四卷 终局"}},
        PatternCase{"Digits", "^第\\d+章", "", {"第2章 风起"}},
        PatternCase{"LookBehindAfterIndent", "(?<=^[ 　\\t]{2})第.章", "", {"　　第三章 云涌"}},
        PatternCase{"SpaceClassIsAscii", "^\\s+第", "", {}},  // the full-width indent is no \s
        PatternCase{"NumberGroup",
                    "^\\s*[　]*第(?<n>[\\d一二三四五六七八九十]+)[章卷]",
                    "",
                    {"第一章 开端", "第2章 风起", "　　第三章 云涌", "第四卷 终局"}},
        PatternCase{
            "Exclude", "^第.{1,3}[章节集]", "节课|集合|章节", {"第一章 开端", "第2章 风起"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeadingRule, RequiredTextIsOnlyWhatEveryMatchHolds) {
  const std::pair<const char*, const char*> cases[] = {
      {"^第(?<n>\\d+)章", "第"},
      {"^第(?<n>\\d+)章节", "章节"},
      {"(?<=[　\\s])第\\d+章", "第"},
      {"^第+章", "第"},
      {"^第一?章", "第"},
      {"^第一{0,2}章", "第"},
      {"第\\d+章|卷", ""},  // either side alone
      {"(?i)chapter", ""},
      {"\\Q第章\\E", ""},
      {kSharedRule, ""},
      {"[第]章.", "章"},
  };
  for (const auto& [pattern, required] : cases) {
    EXPECT_EQ(Compiled(pattern).heading->RequiredText(), required) << pattern;
  }
}

TEST(HeadingRule, NumberGroupTakesOnlyTheNextChapter) {
  const auto found = Headings(
      "^第(?<n>[\\d一二三四五六七八九十]+)章",
      {"第1章", "第1章 又一次", "第一章", "第2章", "第99章 他提起的", "第2章", "第3章", "第二章"});
  EXPECT_EQ(Lines(found), (std::vector<std::string>{"第1章", "第2章", "第3章"}));
}

TEST(HeadingRule, ChainPicksUpAfterAMissingOrUnreadableNumber) {
  const auto found = Headings("^第(?<n>[\\d一二三四五六七八九十]+)章",
                              {"第1章", "第2章", "第十十章 笔误", "第4章", "第6章", "第5章"});
  EXPECT_EQ(found, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"第1章", 1}, {"第2章", 2}, {"第4章", 4}, {"第6章", 6}}));
}

TEST(HeadingRule, GroupLeftOutIsAHeadingWithoutANumber) {
  const auto found =
      Headings("^(?:楔子|番外|第(?<n>\\d+)章)", {"楔子", "第1章", "番外", "第2章", "第1章"});
  EXPECT_EQ(found, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"楔子", -1}, {"第1章", 1}, {"番外", -1}, {"第2章", 2}}));
}

TEST(HeadingRule, SpokenNumeralsContinueTheChain) {
  std::vector<std::string> book;
  for (int n = 1; n <= 129; ++n) book.push_back("第" + std::to_string(n) + "章");
  book.insert(book.end(), {"第一百三章", "第一百三十一章", "第一百三十二章"});
  const auto found = Headings("^第(?<n>[\\d一二三四五六七八九十百千万]+)章", book);
  ASSERT_EQ(found.size(), 132u);
  EXPECT_EQ(found[129].second, 130);
  EXPECT_EQ(found.back().second, 132);
}

TEST(HeadingRule, TitleLimitCountsCharactersAsKeywordsDo) {
  // 4 Chinese characters measure 8: a limit of 4 takes them, 3 does not.
  EXPECT_EQ(Headings("章", {"第一章啊"}, "", 4).size(), 1u);
  EXPECT_EQ(Headings("章", {"第一章啊"}, "", 3).size(), 0u);
}

TEST(HeadingRule, RefusesWhatCannotBeUsed) {
  struct Case {
    const char* pattern;
    const char* exclude;
    Message refusal;
  };
  const std::vector<Case> cases = {
      {"第(", "", {MessageId::BadPattern, {"第(", "2", "missing closing parenthesis"}}},
      {"第[一二",
       "",
       {MessageId::BadPattern, {"第[一二", "4", "missing terminating ] for character class"}}},
      {"(?<=\\d+)章",
       "",
       {MessageId::BadPattern, {"(?<=\\d+)章", "0", "lookbehind assertion is not fixed length"}}},
      {"(第)?", "", {MessageId::PatternMatchesEmpty, {"(第)?"}}},
      {"^", "", {MessageId::PatternMatchesEmpty, {"^"}}},
      {"第.章",
       "*",
       {MessageId::BadExcludePattern, {"*", "0", "quantifier does not follow a repeatable item"}}},
  };
  for (const auto& c : cases) {
    Message refusal;
    EXPECT_FALSE(HeadingRule::Compile(c.pattern, c.exclude, refusal)) << c.pattern;
    EXPECT_EQ(refusal, c.refusal) << c.pattern;
  }
}

TEST(HeadingRule, BacktrackingWithoutEndCountsAsBodyText) {
  HeadingRule rule(Compiled("^(第+)+章$"), 200, TextRules::For(Encoding::Utf8));
  std::string trap;
  for (int i = 0; i < 60; ++i) trap += "第";
  trap += "章啊";  // the 章 every match needs is there: only backtracking tells
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(rule.IsHeading(trap));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(rule.IsHeading("第第章"));
  EXPECT_EQ(rule.FirstCostlyLine().substr(0, 6), "第第");
}

// The same book in each encoding, listed by one rule: the same headings and numbers.
class RuleEncodings : public ::testing::TestWithParam<Encoding> {};

TEST_P(RuleEncodings, FindTheSameHeadings) {
  const std::string book =
      "序\r\n第一章 開端\r\n他把第二章節又讀了一遍。\r\n第二章 風起\r\n第貳章 重複\r\n"
      "第四章 雲湧\r\n第參章 回頭\r\n第五章 終\r\n";
  const auto bytes = TextCodec::Convert(book, Encoding::Utf8, GetParam());
  ASSERT_TRUE(bytes);
  TempDir dir;
  WriteFile(dir / "book.txt", *bytes);
  auto options = OptionsFor(dir / "book.txt", dir / "out");
  options.encoding = GetParam();
  options.regex = "^第(?<n>[一二三四五六七八九十貳參]+)章";
  const ScanResult r = ChapterScan::Run(options);
  ASSERT_EQ(r.status, ScanResult::Status::Done) << r.error.Text();
  std::vector<std::int64_t> lines;
  std::vector<std::int64_t> numbers;
  for (const auto& h : r.headings) {
    lines.push_back(h.line);
    numbers.push_back(h.number);
  }
  EXPECT_EQ(lines, (std::vector<std::int64_t>{2, 4, 6, 8}));
  EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 2, 4, 5}));
  ASSERT_EQ(r.numbering.size(), 1u);
  EXPECT_EQ(r.numbering[0].kind, Kind::Gap);
  EXPECT_EQ(r.numbering[0].number, 3);
  EXPECT_EQ(r.regex, options.regex);
}

INSTANTIATE_TEST_SUITE_P(Book, RuleEncodings,
                         ::testing::Values(Encoding::Gbk, Encoding::Utf8, Encoding::Big5),
                         [](const auto& info) {
                           return info.param == Encoding::Gbk    ? std::string("Gbk")
                                  : info.param == Encoding::Utf8 ? std::string("Utf8")
                                                                 : std::string("Big5");
                         });

TEST(HeadingRule, SplitsTheSampleNovelAsItsKeywordsDo) {
  TempDir dir;
  auto byKeywords = OptionsFor(CorpusNovel(), dir / "keywords");
  byKeywords.keywords = G("第 回");
  byKeywords.titleMax = 30;
  auto byRule = OptionsFor(CorpusNovel(), dir / "rule");
  byRule.titleMax = 30;
  byRule.regex = "第.*回";
  RecordingHost host;
  ASSERT_EQ(Split(byKeywords, host), SplitOutcome::Completed);
  ASSERT_EQ(Split(byRule, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "rule"), ListDir(dir / "keywords"));
  EXPECT_EQ(ReadFile(dir / "rule/" + ListDir(dir / "rule")[40]),
            ReadFile(dir / "keywords/" + ListDir(dir / "keywords")[40]));
  EXPECT_EQ(JoinPieces(dir / "rule"), JoinPieces(dir / "keywords"));
}

TEST(HeadingRule, SplitRefusesABadPatternBeforeWritingAndWarnsOfACostlyLine) {
  TempDir dir;
  std::string trap;
  for (int i = 0; i < 40; ++i) trap += "第";
  trap += "章啊";
  WriteFile(dir / "book.txt", "前言\r\n第章\r\n" + trap + "\r\n第第章\r\n");
  auto options = OptionsFor(dir / "book.txt", dir / "out");
  options.encoding = Encoding::Utf8;
  options.titleMax = 100;
  options.regex = "^(第+)+章(";
  RecordingHost host;
  EXPECT_EQ(Split(options, host), SplitOutcome::Refused);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
  options.regex = "^(第+)+章$";
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(host.tally.headings, 2);
  ASSERT_EQ(host.warned.size(), 1u);
  EXPECT_EQ(host.warned[0].id, MessageId::CostlyPattern);
}

}  // namespace
}  // namespace sekato::engine
