#include "headingdetector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "candidatesieve.h"
#include "headingrule.h"
#include "numberchain.h"
#include "sekato/numerals.h"
#include "sekato/textrules.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

std::string Chinese(std::int64_t n) {
  return TextCodec::Convert(Numerals::Text(n, Numerals::Series::Chinese), Encoding::Gbk,
                            Encoding::Utf8)
      .value();
}

std::string FullWidth(std::int64_t n) {
  std::string out;
  for (char digit : std::to_string(n)) {
    out += "\xEF\xBC";
    out += static_cast<char>(0x90 + (digit - '0'));
  }
  return out;
}

std::string Padded(std::int64_t n) {
  std::string text = std::to_string(n);
  return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

/// A generated book: its lines, and where the headings stand.
struct Book {
  std::vector<std::string> lines;
  std::vector<std::int64_t> headings;
  std::vector<std::int64_t> volumes;
  std::int64_t contentsFirst = 0;
  std::int64_t contentsLast = 0;

  void Body(int chapter) {
    // Ordinary prose, with the short lines that start like headings.
    static const std::vector<std::string> kTraps = {
        "第三天，天刚亮他就起来了。", "他把第二章节又读了一遍。", "“第九部队，集合！”",
        "第七回合，他输了。",         "1、先把水烧开。",          "第一节课下课了，他走出教室。"};
    lines.push_back("　　山风吹过，他站在崖边，看着远处的云海慢慢散开，心里想着明天的事。");
    lines.push_back("　　" + kTraps[static_cast<std::size_t>(chapter) % kTraps.size()]);
    lines.push_back("");
    lines.push_back("　　夜深了，灯还亮着。");
  }
  void Heading(const std::string& line) {
    lines.push_back(line);
    headings.push_back(static_cast<std::int64_t>(lines.size()));
  }
  void Volume(const std::string& line) {
    lines.push_back(line);
    volumes.push_back(static_cast<std::int64_t>(lines.size()));
  }
};

using Style = std::function<std::string(int)>;

Book Plain(const Style& style, int chapters) {
  Book book;
  book.lines = {"书名：山河", "作者：某人", ""};
  for (int n = 1; n <= chapters; ++n) {
    book.Heading(style(n));
    book.Body(n);
  }
  return book;
}

HeadingDetection Detect(const Book& book, std::int64_t titleMax = 20) {
  HeadingDetector detector(titleMax);
  for (std::size_t i = 0; i < book.lines.size(); ++i) {
    detector.Offer(static_cast<std::int64_t>(i + 1), book.lines[i]);
  }
  return detector.Decide();
}

struct StyleCase {
  const char* name;
  Style style;
  const char* description;
};

class DetectStyle : public testing::TestWithParam<StyleCase> {};

/// The lines the heading rule `pattern` takes, 1-based, as a split by it would take them.
std::vector<std::int64_t> Matching(const std::string& pattern,
                                   const std::vector<std::string>& lines,
                                   std::int64_t titleMax = 40) {
  Message refusal;
  const auto patterns = HeadingRule::Compile(pattern, "", refusal);
  EXPECT_TRUE(patterns.has_value()) << pattern << ": " << refusal.Text();
  std::vector<std::int64_t> taken;
  if (!patterns) return taken;
  HeadingRule rule(*patterns, titleMax, TextRules::For(Encoding::Utf8));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (rule.IsHeading(lines[i])) taken.push_back(static_cast<std::int64_t>(i + 1));
  }
  return taken;
}

TEST_P(DetectStyle, FindsEveryChapterAndNothingElse) {
  const Book book = Plain(GetParam().style, 30);
  const HeadingDetection found = Detect(book);
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.headingLines, book.headings);
  // The rule, run over the book, takes the same lines: no body text trap matches it.
  EXPECT_EQ(Matching(found.chapters.pattern, book.lines), book.headings) << found.chapters.pattern;
  EXPECT_EQ(found.chapters.description, GetParam().description);
  EXPECT_EQ(found.chapters.lines, 30);
  EXPECT_TRUE(found.volumeLines.empty());
  EXPECT_FALSE(found.restarts);
}

const std::string kCouplet = "宴桃园豪杰三结义　斩黄巾英雄首立功，天下大势分久必合合久必分";

INSTANTIATE_TEST_SUITE_P(
    Styles, DetectStyle,
    testing::Values(
        StyleCase{"Digits", [](int n) { return "第" + std::to_string(n) + "章 风起"; },
                  "第N章（数字）"},
        StyleCase{"SpacedDigits", [](int n) { return "第 " + std::to_string(n) + " 章 风起"; },
                  "第N章（数字）"},
        StyleCase{"ZeroPadded", [](int n) { return "第" + Padded(n) + "章 风起"; },
                  "第N章（数字）"},
        StyleCase{"FullWidth", [](int n) { return "第" + FullWidth(n) + "章 风起"; },
                  "第N章（全角数字）"},
        StyleCase{"Indented", [](int n) { return "　　第" + Chinese(n) + "章　风起"; },
                  "第N章（中文数字）"},
        StyleCase{"Brackets", [](int n) { return "【第" + Chinese(n) + "章】风起"; },
                  "【第N章】（中文数字）"},
        StyleCase{"Equals", [](int n) { return "===第" + Chinese(n) + "章 风起==="; },
                  "===第N章===（中文数字）"},
        StyleCase{"NoSpace", [](int n) { return "第" + Chinese(n) + "章风起云涌"; },
                  "第N章（中文数字）"},
        StyleCase{"Separated", [](int n) { return std::to_string(n) + "、风起"; }, "N、"},
        StyleCase{"Latin", [](int n) { return "Chapter " + std::to_string(n) + " 风起"; },
                  "Chapter N"},
        StyleCase{"Section", [](int n) { return "第" + Chinese(n) + "节"; }, "第N节（中文数字）"},
        StyleCase{"LongCouplet", [](int n) { return "第" + Chinese(n) + "回 " + kCouplet; },
                  "第N回（中文数字）"}),
    [](const testing::TestParamInfo<StyleCase>& info) { return info.param.name; });

TEST(HeadingDetector, VolumesWithRunningOnAndRestartingNumbers) {
  // Short volumes too: numbers that start again in each make a chain no longer than the
  // volumes' own.
  const struct {
    bool restart;
    int volumes;
    int chapters;  ///< a volume
  } cases[] = {{false, 3, 8}, {true, 3, 8}, {true, 3, 3}, {true, 4, 2}, {false, 3, 3}};
  for (const auto& c : cases) {
    const bool restart = c.restart;
    SCOPED_TRACE(testing::Message() << c.volumes << " volumes of " << c.chapters);
    Book book;
    book.lines = {"简介：一个故事。", ""};
    int chapter = 0;
    for (int volume = 1; volume <= c.volumes; ++volume) {
      book.Volume("第" + Chinese(volume) + "卷 风云");
      if (restart) chapter = 0;
      for (int n = 0; n < c.chapters; ++n) {
        book.Heading("第" + Chinese(++chapter) + "章 标题");
        book.Body(chapter);
      }
    }
    const HeadingDetection found = Detect(book);
    ASSERT_TRUE(found.found) << restart;
    EXPECT_EQ(found.headingLines, book.headings) << restart;
    EXPECT_EQ(found.volumeLines, book.volumes) << restart;
    EXPECT_EQ(found.restarts, restart);
    EXPECT_EQ(found.volumes.description, "第N卷（中文数字）");
  }
}

TEST(HeadingDetector, SpecialHeadingsAtTheStartAndTheEnd) {
  Book book;
  book.lines = {"山河", ""};
  book.Heading("楔子");
  book.Body(0);
  for (int n = 1; n <= 12; ++n) {
    book.Heading("第" + Chinese(n) + "章 风起");
    book.Body(n);
  }
  book.Heading("番外一 旧事");
  book.Body(1);
  book.Heading("完本感言");
  book.Body(2);
  // A special word inside the book, between chapters, is body text.
  book.lines.insert(book.lines.begin() + book.headings[5] + 1, "尾声");
  for (std::size_t i = 6; i < book.headings.size(); ++i) ++book.headings[i];
  const HeadingDetection found = Detect(book);
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.headingLines, book.headings);
  EXPECT_EQ(found.chapters.lines, 12);
}

TEST(HeadingDetector, ContentsBlockInFrontIsPreface) {
  Book book;
  book.lines = {"三国演义", "目录", ""};
  const auto heading = [](int n) { return "第" + Chinese(n) + "回 " + kCouplet; };
  book.contentsFirst = static_cast<std::int64_t>(book.lines.size()) + 1;
  for (int n = 1; n <= 20; ++n) book.lines.push_back(heading(n));
  book.contentsLast = static_cast<std::int64_t>(book.lines.size());
  book.lines.push_back("");
  for (int n = 1; n <= 20; ++n) {
    book.Heading(heading(n));
    book.Body(n);
  }
  const HeadingDetection found = Detect(book);
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.headingLines, book.headings);
  EXPECT_EQ(found.contentsFirst, book.contentsFirst);
  EXPECT_EQ(found.contentsLast, book.contentsLast);
}

TEST(HeadingDetector, ColloquialNumeralsContinueTheChain) {
  // 一百三 stands for 130 between 129 and 131; 一百零三 would be 103 only.
  const Book book = Plain(
      [](int n) {
        const int number = n + 120;
        return "第" + (number == 130 ? std::string("一百三") : Chinese(number)) + "章 风起";
      },
      20);
  const HeadingDetection found = Detect(book);
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.headingLines, book.headings);
}

TEST(HeadingDetector, NothingFoundInPlainProse) {
  Book book;
  for (int n = 0; n < 40; ++n) book.Body(n);
  const HeadingDetection found = Detect(book);
  EXPECT_FALSE(found.found);
  EXPECT_TRUE(found.headingLines.empty());
}

TEST(HeadingDetector, AlternativesComeWithTheirCounts) {
  Book book = Plain([](int n) { return "第" + Chinese(n) + "章 风起"; }, 10);
  for (int n = 1; n <= 4; ++n) book.lines.push_back(std::to_string(n) + "、面粉");
  const HeadingDetection found = Detect(book);
  ASSERT_EQ(found.alternatives.size(), 1U);
  EXPECT_EQ(found.alternatives[0].description, "N、");
  EXPECT_EQ(found.alternatives[0].lines, 4);
}

TEST(HeadingDetector, SampleNovelHasItsHundredAndTwentyChapters) {
  std::ifstream in(test::CorpusNovel(), std::ios::binary);
  HeadingDetector detector;
  std::string line;
  std::int64_t number = 0;
  std::vector<std::int64_t> repeated;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto utf8 = TextCodec::Convert(line, Encoding::Gbk, Encoding::Utf8);
    detector.Offer(++number, utf8.value_or(std::string()));
    if (utf8 && utf8->rfind("第三十五回", 0) == 0) repeated.push_back(number);
  }
  const HeadingDetection found = detector.Decide();
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.chapters.description, "第N回（中文数字）");
  EXPECT_EQ(found.chapters.lines, 120);
  ASSERT_EQ(repeated.size(), 2U);
  // The second 第三十五回 repeats the first: body text, as with "?".
  EXPECT_TRUE(std::count(found.headingLines.begin(), found.headingLines.end(), repeated[0]));
  EXPECT_FALSE(std::count(found.headingLines.begin(), found.headingLines.end(), repeated[1]));
  EXPECT_EQ(found.contentsFirst, 0);
}

TEST(CandidateSieve, LetsThroughEveryCandidateInEachEncoding) {
  const std::vector<std::string> lines = {"第十二章 回忆",  "　　第一百零一回　归来",
                                          "【第三章】夜雨", "Chapter 7 Rain",
                                          "卷三 风起",      "12、夜雨",
                                          "楔子",           "番外二 旧事",
                                          "后记：写在最后", "===第一章==="};
  for (const Encoding encoding :
       {Encoding::Gbk, Encoding::Gb18030, Encoding::Big5, Encoding::Utf8}) {
    const CandidateSieve sieve(encoding, 40);
    for (const std::string& line : lines) {
      const auto bytes = TextCodec::Convert(line, Encoding::Utf8, encoding);
      if (!bytes) continue;  // 后 and 记 are simplified: Big5 has no such line
      EXPECT_TRUE(sieve.MayHold(*bytes)) << line << " in " << static_cast<int>(encoding);
    }
    for (const std::string line : {"他说：“走吧。”", "　　山风吹过。", "", "   "}) {
      const auto bytes = TextCodec::Convert(line, Encoding::Utf8, encoding);
      EXPECT_FALSE(bytes && sieve.MayHold(*bytes)) << line;
    }
    EXPECT_FALSE(sieve.MayHold(std::string(400, '1'))) << "too long";
    EXPECT_EQ(sieve.Look(" \t"), CandidateSieve::Verdict::Blank);
    EXPECT_EQ(sieve.Look("x"), CandidateSieve::Verdict::Body);
  }
}

struct ChainCase {
  std::vector<std::int64_t> numbers;
  std::vector<std::int64_t> spoken;
  std::vector<bool> volumes;
  std::vector<std::size_t> chain;
};

std::vector<ChainCase> ChainCases() {
  return {
      {{1, 2, 3, 7, 4, 5}, {}, {}, {0, 1, 2, 4, 5}},
      {{1, 2, 2, 3}, {}, {}, {0, 1, 3}},                        // a repeat is body text
      {{1, 2, 4, 5}, {}, {}, {0, 1, 2, 3}},                     // a missing chapter
      {{1, 2, 30, 3}, {}, {}, {0, 1, 3}},                       // far off: body text
      {{1, 2, 3, 1, 2}, {}, {0, 0, 0, 1, 0}, {0, 1, 2, 3, 4}},  // a volume starts again
      {{1, 2, 3, 1, 2}, {}, {}, {0, 1, 2}},                     // without one it does not
      {{-1, 5, -1, 6}, {}, {}, {1, 3}},                         // unreadable numbers stay out
      {{129, 103, 131}, {-1, 130, -1}, {}, {0, 1, 2}},          // 一百三 read as spoken
      {{102, 103, 104}, {-1, 130, -1}, {}, {0, 1, 2}},          // or as written
  };
}

/// The links of `c`, every readable number `shift` higher.
std::vector<NumberChain::Link> Links(const ChainCase& c, std::int64_t shift = 0) {
  std::vector<NumberChain::Link> links;
  for (std::size_t i = 0; i < c.numbers.size(); ++i) {
    const std::int64_t spoken = i < c.spoken.size() ? c.spoken[i] : -1;
    links.push_back({c.numbers[i] < 0 ? -1 : c.numbers[i] + shift, spoken < 0 ? -1 : spoken + shift,
                     i < c.volumes.size() && c.volumes[i]});
  }
  return links;
}

TEST(NumberChain, FollowsTheLongestRunGoingUpByOne) {
  for (const ChainCase& c : ChainCases()) {
    EXPECT_EQ(NumberChain::Longest(Links(c), 10, !c.volumes.empty()), c.chain)
        << testing::PrintToString(c.numbers);
  }
}

TEST(NumberChain, FarNumbersChainAsNearOnes) {
  // Numbers near the lines' count are looked up by slot, far ones by hash: the same chain.
  std::vector<ChainCase> cases = ChainCases();
  ChainCase many;
  for (std::int64_t n = 1; n <= 3000; ++n) {
    many.numbers.push_back(n % 97 == 0 ? n + 5 : n);   // a few out of step
    many.numbers.push_back(n % 13 == 0 ? 2 * n : -1);  // body lines citing others
  }
  many.chain = NumberChain::Longest(Links(many), 10, false);
  ASSERT_GT(many.chain.size(), 2900U);
  cases.push_back(many);
  for (const ChainCase& c : cases) {
    for (const std::int64_t shift : {std::int64_t{5000}, std::int64_t{1} << 40}) {
      // Lines before the chain starts again at 1 go on from where the shift puts them.
      if (!c.volumes.empty()) continue;
      EXPECT_EQ(NumberChain::Longest(Links(c, shift), 10, false), c.chain)
          << testing::PrintToString(c.numbers) << " shifted " << shift;
    }
  }
}

struct CandidateCase {
  const char* line;
  bool candidate;
  std::int64_t number;
};

TEST(HeadingCandidate, TellsHeadingFormsFromBodyText) {
  const std::vector<CandidateCase> cases = {
      {"第十二章 回忆", true, 12},
      {"　　第一百零一回　归来", true, 101},
      {"第 001 章", true, 1},
      {"【第三章】夜雨", true, 3},
      {"Chapter 7 Rain", true, 7},
      {"卷三 风起", true, 3},
      {"12、夜雨", true, 12},
      {"楔子", true, -1},
      {"番外二 旧事", true, 2},
      {"后记：写在最后", true, -1},
      {"第三天，天刚亮他就起来了。", false, 0},
      {"他把第二章节又读了一遍。", false, 0},
      {"第七回合，他输了。", false, 0},
      {"第一节课", false, 0},
      {"3.5公斤", false, 0},
      {"序幕拉开了", false, 0},
      {"“第九部队，集合！”", false, 0},
      {"", false, 0},
  };
  for (const CandidateCase& c : cases) {
    const auto parsed = HeadingCandidate::Parse(c.line, 40);
    EXPECT_EQ(parsed.has_value(), c.candidate) << c.line;
    if (parsed && c.candidate) {
      EXPECT_EQ(parsed->number, c.number) << c.line;
    }
  }
}

TEST(HeadingCandidate, SameFormExactlyWhenTheKeysAgree) {
  // Lines that differ in number, title, unit, numeral style, decoration and kind.
  const std::vector<std::string> lines = {
      "第十二章 回忆", "第一章",         "第1章 开端",  "第１章",   "【第三章】夜雨",
      "【第四章】",    "===第五章===",   "第一回 归来", "第二回",   "第一卷 风起",
      "卷三 风起",     "卷四",           "12、夜雨",    "13、归来", "三：归来",
      "3.开端",        "Chapter 7 Rain", "Chapter 8",   "Part 2",   "楔子",
      "番外二 旧事",   "后记：写在最后"};
  std::vector<HeadingCandidate> parsed;
  for (const std::string& line : lines) {
    auto candidate = HeadingCandidate::Parse(line, 40);
    ASSERT_TRUE(candidate.has_value()) << line;
    parsed.push_back(*candidate);
  }
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    for (std::size_t j = 0; j < parsed.size(); ++j) {
      EXPECT_EQ(parsed[i].SameForm(parsed[j]), parsed[i].FormKey() == parsed[j].FormKey())
          << lines[i] << " / " << lines[j];
    }
  }
}

}  // namespace
}  // namespace sekato::engine
