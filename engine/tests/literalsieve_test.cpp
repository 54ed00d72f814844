#include "literalsieve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "sekato/chapterscan.h"
#include "sekato/texttransform.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;
using test::OptionsFor;
using test::RecordingHost;
using test::TempDir;

// The lines (by index) a caller of the sieve goes through: from each hit to the end of its
// line, then on from there, as the transformed text is written.
std::set<std::size_t> SiftedLines(const LiteralSieve& sieve, std::string_view text, bool plain) {
  std::set<std::size_t> lines;
  std::size_t from = 0;
  while (true) {
    const std::size_t hit = plain ? sieve.FindPlain(text, from) : sieve.Find(text, from);
    if (hit == LiteralSieve::npos) break;
    lines.insert(static_cast<std::size_t>(std::count(text.begin(), text.begin() + hit, '\n')));
    const std::size_t feed = text.find('\n', hit);
    if (feed == std::string_view::npos) break;
    from = feed + 1;
  }
  return lines;
}

std::set<std::size_t> LinesHolding(const std::vector<std::string>& literals,
                                   std::string_view text) {
  std::set<std::size_t> lines;
  std::size_t index = 0;
  for (std::size_t start = 0; start <= text.size(); ++index) {
    std::size_t feed = text.find('\n', start);
    if (feed == std::string_view::npos) feed = text.size();
    const std::string_view line = text.substr(start, feed - start);
    for (const std::string& literal : literals) {
      if (line.find(literal) != std::string_view::npos) lines.insert(index);
    }
    start = feed + 1;
  }
  return lines;
}

struct SieveCase {
  const char* what;
  std::vector<std::string> literals;  // UTF-8, made GBK
};

class LiteralSieveTest : public testing::TestWithParam<SieveCase> {};

// Random GBK lines built from the literals' own characters and a few others, so literals
// stand whole, cut by line feeds, at block ends and half over a character's bytes.
TEST_P(LiteralSieveTest, FindsEveryLineHoldingALiteral) {
  std::vector<std::string> literals;
  for (const std::string& literal : GetParam().literals) literals.push_back(G(literal));
  std::vector<std::string> pieces = literals;
  for (const char* other : {"\n", "\n", "章", "未", "a", "。"}) pieces.push_back(G(other));
  // Single bytes, so that literals also stand across characters.
  for (const char* other : {"\xB1", "\xBE", "w"}) pieces.emplace_back(other);
  for (unsigned seed = 0; seed < 40; ++seed) {
    std::mt19937 random(seed);
    std::string text;
    const std::size_t length = 1 + random() % 400;
    while (text.size() < length) text += pieces[random() % pieces.size()];
    const auto expected = LinesHolding(literals, text);
    LiteralSieve sieve(literals);
    EXPECT_EQ(SiftedLines(sieve, text, false), expected) << GetParam().what << " seed " << seed;
    sieve.Tune(text.substr(0, text.size() / 2));
    EXPECT_EQ(SiftedLines(sieve, text, false), expected) << GetParam().what << " tuned " << seed;
    EXPECT_EQ(SiftedLines(sieve, text, true), expected) << GetParam().what << " plain " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Literals, LiteralSieveTest,
    testing::Values(SieveCase{"one", {"本章未完"}},
                    SieveCase{"sharing pairs", {"本章未完", "本章完", "章未"}},
                    SieveCase{"ascii and chinese", {"www.", "笔趣阁", "一秒记住【"}},
                    SieveCase{"a literal inside another", {"点击下一页继续阅读", "下一页"}},
                    SieveCase{
                        "many",
                        {"本章未完", "最新章节请到", "(本章完)", "请点击下一页继续阅读", "笔趣阁",
                         "www.", "天才一秒记住", "手机用户请浏览", "顶点小说", "一秒记住【",
                         "未完待续", "求月票", "加更", "章节错误", "ab", "完本"}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) c = c == ' ' ? '_' : c;
      return name;
    });

// The rules that can be sifted leave the lines without their literals untouched; a rule that
// cannot (case-insensitive, an alternation, a literal of one byte) sends every line through
// all of them. So a book split with a sifting set of rules must come out as with the same
// rules and one more that cannot sift and changes nothing, which makes every line go
// through the rules.
struct PiecesCase {
  const char* what;
  std::vector<std::string> rules;
};

class SiftedPiecesTest : public testing::TestWithParam<PiecesCase> {};

const char* const kBookLines[] = {
    "第1章 开端",
    "　　他说：“本章未完，请点击下一页继续阅读。”",
    "(本章完)",
    " (本章完) ",
    "天才一秒记住本站地址：www.biquge.com 最快更新！",
    "WWW.BIQUGE.COM",
    "笔趣阁",
    "第2章 笔趣阁里",
    "未完待续",
    "本章完",
    "手机用户请浏览阅读，更优质的阅读体验。",
    "一秒记住【顶点小说网】",
    "正文里没有广告的一行。",
    "a",
};

std::string Book(int copies) {
  std::string book;
  for (int i = 0; i < copies; ++i) {
    for (const char* line : kBookLines) book += std::string(line) + (i % 2 ? "\r\n" : "\n");
  }
  return book;
}

TEST_P(SiftedPiecesTest, PiecesAsWithEveryLineTransformed) {
  for (const auto mode : {SplitMode::ByChapter, SplitMode::BySize}) {
    std::vector<std::string> pieces[2];
    std::vector<std::int64_t> counts[2];
    for (int everyLine = 0; everyLine < 2; ++everyLine) {
      TempDir dir;
      test::WriteFile(dir / "book.txt", G(Book(30)));
      SplitOptions o = OptionsFor(dir / "book.txt", dir / "out");
      o.encoding = Encoding::Gbk;
      o.keywords = G("第 章");
      o.mode = mode;
      o.maxKb = 1;
      o.trimSpaces = true;
      std::int64_t line = 0;
      for (const std::string& rule : GetParam().rules) {
        o.replaceRules.push_back(ReplaceRuleText::Parse(rule, ++line));
      }
      if (everyLine) o.replaceRules.push_back(ReplaceRuleText::Parse("(?i)\\x{1}never", ++line));
      const ScanResult listed = ChapterScan::Run(o);
      ASSERT_EQ(listed.status, ScanResult::Status::Done) << listed.error.Text();
      counts[everyLine] = listed.ruleCounts;
      counts[everyLine].resize(GetParam().rules.size());
      RecordingHost host;
      ASSERT_EQ(test::Split(o, host), SplitOutcome::Completed) << host.Message();
      for (const std::string& name : test::ListDir(dir / "out")) {
        pieces[everyLine].push_back(name + ":" + test::ReadFile(dir / ("out/" + name)));
      }
    }
    EXPECT_EQ(pieces[0], pieces[1]) << GetParam().what;
    EXPECT_EQ(counts[0], counts[1]) << GetParam().what;
    EXPECT_GT(pieces[0].size(), 1u) << GetParam().what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SiftedPiecesTest,
    testing::Values(
        PiecesCase{"site lines",
                   {"本章未完.*", "^\\(本章完\\)$", "天才一秒记住.*", "www\\.[a-z0-9]+\\.(com|net)",
                    "手机用户请浏览.*", "一秒记住【.*?】"}},
        PiecesCase{"case-insensitive beside plain", {"(?i)www\\.biquge\\.com", "笔趣阁=>某站"}},
        PiecesCase{"alternation without a common literal", {"本章完|未完待续", "笔趣阁"}},
        PiecesCase{"anchored", {"^笔趣阁$", "^\\s*\\(本章完\\)\\s*$=>完"}},
        PiecesCase{"literal made by an earlier rule", {"笔趣阁=>本章未完", "本章未完.*=>删"}},
        PiecesCase{"groups in the replacement", {"第(\\d+)章 (笔趣阁)=>${2}第$1章"}},
        PiecesCase{"one byte", {"a=>b", "本章完"}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) c = c == ' ' || c == '-' ? '_' : c;
      return name;
    });

}  // namespace
}  // namespace sekato::engine
