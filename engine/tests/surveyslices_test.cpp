// Heading detection reads a large book in slices at once; whatever the cuts, the survey must
// give what one pass gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "candidatesieve.h"
#include "headingdetector.h"
#include "headingsurvey.h"
#include "sekato/numerals.h"
#include "shortlinescan.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::TempDir;

std::string Chinese(std::int64_t n) {
  return TextCodec::Convert(Numerals::Text(n, Numerals::Series::Chinese), Encoding::Gbk,
                            Encoding::Utf8)
      .value();
}

std::string Body() {
  return "　　山风吹过，他站在崖边，看着远处的云海慢慢散开。\n　　第三天，天刚亮他就起来了。\n";
}
/// A line too long to be a heading: the scan only counts it.
std::string LongLine() { return "　　" + std::string(300, 'x') + "\n"; }

/// Volumes with chapter numbers starting again in each, a long line before each volume.
std::string Volumes() {
  std::string book = "简介：一个故事。\n";
  for (int volume = 1; volume <= 3; ++volume) {
    book += LongLine() + "第" + Chinese(volume) + "卷 风云\n";
    for (int n = 1; n <= 3; ++n) book += "第" + Chinese(n) + "章 标题\n" + Body();
  }
  return book;
}

/// A contents block with blank lines between, then the chapters.
std::string Contents() {
  std::string book = "目录\n\n";
  for (int n = 1; n <= 6; ++n) book += "第" + std::to_string(n) + "章 标题\n\n";
  for (int n = 1; n <= 6; ++n) book += "第" + std::to_string(n) + "章 标题\n" + Body();
  return book;
}

/// Special headings around the chapters, long lines last and no line feed at the end.
std::string Specials() {
  std::string book = "楔子\n" + Body();
  for (int n = 1; n <= 5; ++n) book += "Chapter " + std::to_string(n) + " Rain\n" + Body();
  return book + "后记：写在最后\n" + LongLine() + LongLine() + "完";
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

struct SliceCase {
  const char* name;
  std::string (*make)();
  Encoding encoding;
  bool crlf;
  const char* mark;  ///< a byte-order mark in front
};

std::string Bytes(const SliceCase& c) {
  std::string text = c.crlf ? WithCrLf(c.make()) : c.make();
  if (c.encoding != Encoding::Utf8) {
    text = TextCodec::Convert(text, Encoding::Utf8, c.encoding).value();
  }
  return c.mark + text;
}

/// What a survey gives, as one string, the kept lines by their text.
std::string Describe(const HeadingSurvey::Result& r) {
  const HeadingDetection& d = r.detection;
  std::string out = std::to_string(static_cast<int>(r.end)) + " lines " + std::to_string(r.lines) +
                    " bytes " + std::to_string(r.sourceBytes) + (d.found ? " found " : " none ") +
                    d.chapters.pattern + " " + std::to_string(d.chapters.lines) + " volumes " +
                    d.volumes.pattern + (d.restarts ? " restarts" : "") + " contents " +
                    std::to_string(d.contentsFirst) + "-" + std::to_string(d.contentsLast) +
                    " title " + std::to_string(d.longestTitle) + " first " +
                    std::to_string(d.firstNumber) + "\nheadings";
  for (const std::int64_t line : d.headingLines) out += " " + std::to_string(line);
  out += "\nvolume lines";
  for (const std::int64_t line : d.volumeLines) out += " " + std::to_string(line);
  for (const auto& form : d.alternatives)
    out += "\nalso " + form.pattern + " " + std::to_string(form.lines);
  out += r.allSeen ? "\nseen" : "\nnot all seen";
  for (const auto& at : r.seen) {
    out += "\n" + std::to_string(at.line) + " @" + std::to_string(at.offset) + " " +
           std::to_string(at.size);
    if (at.text >= 0) {
      out += " " + r.seenText.substr(static_cast<std::size_t>(at.text),
                                     static_cast<std::size_t>(at.size));
    }
  }
  return out;
}

class SlicedSurvey : public testing::TestWithParam<SliceCase> {};

TEST_P(SlicedSurvey, EveryCutGivesWhatOnePassGives) {
  TempDir dir;
  const std::string book = Bytes(GetParam());
  test::WriteFile(dir / "book.txt", book);
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.autoDetect = true;
  options.encoding = GetParam().encoding;
  const HeadingSurvey::Result whole = HeadingSurvey::RunCut(options, nullptr, {});
  ASSERT_EQ(whole.end, HeadingSurvey::End::Done);
  ASSERT_TRUE(whole.detection.found);
  const std::string expected = Describe(whole);
  const auto size = static_cast<std::int64_t>(book.size());
  // Two slices cut at every byte: at every line start, inside lines, inside characters.
  for (std::int64_t cut = 0; cut <= size; ++cut) {
    ASSERT_EQ(Describe(HeadingSurvey::RunCut(options, nullptr, {cut})), expected) << "cut " << cut;
  }
  // Three and four slices, cut at line starts and right after them.
  std::vector<std::int64_t> starts;
  for (std::int64_t at = 1; at < size; ++at) {
    if (book[static_cast<std::size_t>(at - 1)] == '\n') starts.push_back(at);
  }
  for (std::size_t i = 0; i < starts.size(); ++i) {
    for (std::size_t j = i + 1; j < starts.size(); ++j) {
      ASSERT_EQ(Describe(HeadingSurvey::RunCut(options, nullptr, {starts[i], starts[j]})), expected)
          << "cuts " << starts[i] << " " << starts[j];
    }
    const std::int64_t after = starts[i] + 1;
    ASSERT_EQ(Describe(HeadingSurvey::RunCut(options, nullptr, {starts[i] / 2, after, size - 2})),
              expected)
        << "cuts " << starts[i] / 2 << " " << after << " " << size - 2;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Books, SlicedSurvey,
    testing::Values(SliceCase{"VolumesUtf8Lf", Volumes, Encoding::Utf8, false, ""},
                    SliceCase{"VolumesGbkCrLf", Volumes, Encoding::Gbk, true, ""},
                    SliceCase{"ContentsGbkLf", Contents, Encoding::Gbk, false, ""},
                    SliceCase{"ContentsUtf8MarkCrLf", Contents, Encoding::Utf8, true,
                              "\xEF\xBB\xBF"},
                    SliceCase{"SpecialsGb18030CrLf", Specials, Encoding::Gb18030, true, ""},
                    SliceCase{"SpecialsUtf8Lf", Specials, Encoding::Utf8, false, ""}),
    [](const testing::TestParamInfo<SliceCase>& info) { return std::string(info.param.name); });

TEST(SlicedSurvey, ProgressGoesForwardToTheEndAndAStopStopsEverySlice) {
  // Over a megabyte, so that the slices report on the way.
  TempDir dir;
  std::string book;
  for (int n = 1; book.size() < (std::size_t{3} << 20); ++n) {
    book += "第" + std::to_string(n) + "章 标题\n";
    for (int i = 0; i < 40; ++i) book += Body();
  }
  test::WriteFile(dir / "book.txt", book);
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.autoDetect = true;
  options.encoding = Encoding::Utf8;
  const auto length = static_cast<std::int64_t>(book.size());
  // The first slice, which the calling thread reads, is over a megabyte.
  const std::vector<std::int64_t> cuts = {2 * length / 3, 5 * length / 6};
  test::RecordingHost host;
  const HeadingSurvey::Result result = HeadingSurvey::RunCut(options, &host, cuts);
  ASSERT_EQ(result.end, HeadingSurvey::End::Done);
  EXPECT_EQ(Describe(result), Describe(HeadingSurvey::RunCut(options, nullptr, {})));
  EXPECT_EQ(host.range, length);
  ASSERT_GE(host.positions.size(), 2U);
  EXPECT_EQ(host.positions.back(), length);

  test::RecordingHost stopping;
  stopping.stopAfterPolls = 0;
  EXPECT_EQ(HeadingSurvey::RunCut(options, &stopping, cuts).end, HeadingSurvey::End::Stopped);
}

TEST(SlicedSurvey, AnUnreadableSourceFailsAsInOnePass) {
  TempDir dir;
  SplitOptions options = test::OptionsFor(dir / "missing.txt", dir / "out");
  options.autoDetect = true;
  options.encoding = Encoding::Utf8;
  const HeadingSurvey::Result result = HeadingSurvey::RunCut(options, nullptr, {10});
  EXPECT_EQ(result.end, HeadingSurvey::End::Failed);
  EXPECT_FALSE(result.message.Text().empty());
}

TEST(ShortLineScan, RangesShareOutTheLinesOfAFile) {
  // Each line to the range its start falls in, numbered from 1 in it, the last whole.
  TempDir dir;
  const std::string text = "ab\ncd\r\n" + std::string(50, 'x') + "\n\nef";
  test::WriteFile(dir / "book.txt", text);
  const auto size = static_cast<std::int64_t>(text.size());
  const auto scan = [&](std::int64_t from, std::int64_t to, std::size_t block) {
    ShortLineScan lines(10, block);
    std::string error;
    EXPECT_TRUE(lines.Open(dir / "book.txt", 0, error));
    lines.Limit(from, to);
    std::string got;
    const auto end = lines.Run(
        [&](const ShortLineScan::Line& l) {
          got += std::to_string(l.number) + (l.longBefore ? "+" : ":") + std::to_string(l.offset) +
                 "=" + std::string(l.data, l.size) + " ";
          return true;
        },
        [](std::int64_t) { return true; });
    EXPECT_EQ(end, ShortLineScan::End::Done);
    return got + "lines " + std::to_string(lines.Lines()) + (lines.LongAtEnd() ? " long" : "");
  };
  struct Range {
    std::int64_t from, to;
    const char* lines;
  };
  const Range ranges[] = {
      {0, size, "1:0=ab 2:3=cd 4+58= 5:59=ef lines 5"},
      {0, 1, "1:0=ab lines 1"},
      {1, 4, "1:3=cd lines 1"},
      {4, 7, "lines 0"},
      {4, 8, "lines 1 long"},
      {7, 59, "2+58= lines 2"},
      {8, 60, "1:58= 2:59=ef lines 2"},
      {59, size, "1:59=ef lines 1"},
      {60, size, "lines 0"},
  };
  for (const std::size_t block : {std::size_t{1}, std::size_t{3}, std::size_t{64}}) {
    for (const Range& range : ranges) {
      EXPECT_EQ(scan(range.from, range.to, block), range.lines)
          << range.from << "-" << range.to << " block " << block;
    }
  }
}

TEST(HeadingDetector, AppendedPastTheCandidateLimitDecidesAsOneDetector) {
  // More candidates than are kept, body text after the last one kept: the cut may fall
  // before, at or after the limit.
  const auto offer = [](HeadingDetector& detector, std::int64_t from, std::int64_t to) {
    for (std::int64_t line = from; line < to; ++line) {
      if (line % 2 == 0) {
        detector.Offer(line, "第" + std::to_string(line / 2) + "章");
      } else {
        detector.OfferBody(line);
      }
    }
  };
  constexpr auto kLines = static_cast<std::int64_t>(2 * HeadingDetector::kMaxCandidates + 10);
  HeadingDetector whole;
  offer(whole, 1, kLines);
  const HeadingDetection expected = whole.Decide();
  for (const std::int64_t cut : {std::int64_t{1}, std::int64_t{2}, kLines / 2, kLines - 11,
                                 kLines - 10, kLines - 9, kLines - 1}) {
    HeadingDetector first;
    HeadingDetector second;
    offer(first, 1, cut);
    offer(second, cut, kLines);
    HeadingDetector joined;
    joined.Append(first, 0);
    joined.Append(second, 0);
    const HeadingDetection got = joined.Decide();
    EXPECT_EQ(got.headingLines, expected.headingLines) << "cut " << cut;
    EXPECT_EQ(got.chapters.lines, expected.chapters.lines) << "cut " << cut;
    EXPECT_EQ(got.chapters.pattern, expected.chapters.pattern) << "cut " << cut;
  }
}

TEST(ShortLineScan, TurnsAwayOnlyTheLinesTheSieveCallsBodyOrBlank) {
  // Each line with white space of every kind in front, and cut short after every byte, so
  // that a line may end inside a character or a wide space.
  const std::vector<std::string> samples = {"第十二章 回忆",
                                            "【第三章】夜雨",
                                            "Chapter 7 Rain",
                                            "卷三 风起",
                                            "12、夜雨",
                                            "楔子",
                                            "番外二 旧事",
                                            "===第一章===",
                                            "他说：“走吧。”",
                                            "山风吹过。",
                                            "Sun",
                                            "x",
                                            "后记：写在最后",
                                            "☆第五章☆",
                                            "一",
                                            "　",
                                            "　\t "};
  for (const Encoding encoding :
       {Encoding::Gbk, Encoding::Gb18030, Encoding::Big5, Encoding::Utf8}) {
    const CandidateSieve sieve(encoding, 40);
    const ShortLineScan::Openers openers = sieve.Openers();
    std::vector<std::string> lines;
    for (const std::string& sample : samples) {
      for (const std::string& front :
           {std::string(), std::string(" \t"), std::string("　　"), std::string("\r　 ")}) {
        const auto bytes = TextCodec::Convert(front + sample, Encoding::Utf8, encoding);
        if (!bytes) continue;  // simplified characters Big5 lacks
        for (std::size_t size = 0; size <= bytes->size(); ++size)
          lines.push_back(bytes->substr(0, size));
      }
    }
    std::string book;
    for (const std::string& line : lines) book += line + "\n";
    TempDir dir;
    test::WriteFile(dir / "book.txt", book);
    ShortLineScan scan(200, 64);
    std::string error;
    ASSERT_TRUE(scan.Open(dir / "book.txt", 0, error));
    scan.Only(&openers);
    std::vector<std::string> got;
    scan.Run(
        [&](const ShortLineScan::Line& l) {
          got.push_back(std::to_string(l.number) + (l.longBefore ? "+" : " ") +
                        std::string(l.data, l.size));
          return true;
        },
        [](std::int64_t) { return true; });
    // Every candidate handed out, told whether body text came since the line before.
    std::vector<std::string> expected;
    bool body = false;
    std::size_t handed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const CandidateSieve::Verdict verdict = sieve.Look(lines[i]);
      const bool out =
          handed < got.size() &&
          got[handed].substr(0, got[handed].find_first_of(" +")) == std::to_string(i + 1);
      if (!out) {
        ASSERT_NE(verdict, CandidateSieve::Verdict::Candidate)
            << "line " << i + 1 << " " << lines[i];
        body = body || verdict == CandidateSieve::Verdict::Body;
        continue;
      }
      expected.push_back(std::to_string(i + 1) + (body ? "+" : " ") + lines[i]);
      ++handed;
      body = false;
    }
    EXPECT_EQ(got, expected) << static_cast<int>(encoding);
    EXPECT_EQ(scan.LongAtEnd(), body);
  }
}

}  // namespace
}  // namespace sekato::engine
