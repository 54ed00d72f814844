// A chapter list after detection matches the lines the survey kept ahead, on other threads,
// and takes them in order: it must list what one pass over the book by the rule found lists,
// however the batches fall between the threads.
#include "seenlookahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "headingsurvey.h"
#include "sekato/chapterscan.h"
#include "sekato/numerals.h"
#include "sekato/orderedbatches.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::TempDir;

// ---------------------------------------------------------------------------------------
// OrderedBatches

struct BatchCase {
  const char* name;
  std::size_t count;
  unsigned threads;
  bool slowOthers;     ///< other threads take their time: the caller makes batches due itself
  std::size_t stopAt;  ///< `use` says stop at this batch; count: never
};

class OrderedBatchesTest : public testing::TestWithParam<BatchCase> {};

TEST_P(OrderedBatchesTest, UsesEveryBatchOnceInOrderAsMade) {
  const BatchCase& c = GetParam();
  std::vector<std::string> slots(OrderedBatches::kSlots);
  std::vector<std::size_t> used;
  std::atomic<std::size_t> made{0};
  const auto make = [&](std::size_t batch, std::size_t slot, unsigned thread) {
    ASSERT_LT(slot, OrderedBatches::kSlots);
    ASSERT_LT(thread, std::max(c.threads, 1U));
    if (c.slowOthers && thread != 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    slots[slot] = "batch " + std::to_string(batch);
    made.fetch_add(1);
  };
  const auto use = [&](std::size_t batch, std::size_t slot) {
    EXPECT_EQ(slots[slot], "batch " + std::to_string(batch));
    used.push_back(batch);
    return batch != c.stopAt;
  };
  const bool done = OrderedBatches::Run(c.count, c.threads, make, use);
  const std::size_t expectedUsed = c.stopAt < c.count ? c.stopAt + 1 : c.count;
  EXPECT_EQ(done, c.stopAt >= c.count);
  std::vector<std::size_t> expected;
  for (std::size_t i = 0; i < expectedUsed; ++i) expected.push_back(i);
  EXPECT_EQ(used, expected);
  // A batch may be made twice (by a slow thread and again by the caller), never skipped;
  // after a stop, at most the batches already under way are made.
  EXPECT_GE(made.load(), expectedUsed);
  EXPECT_LE(made.load(),
            c.stopAt < c.count ? expectedUsed + OrderedBatches::kAhead + 2 : 2 * c.count);
}

INSTANTIATE_TEST_SUITE_P(Sweep, OrderedBatchesTest,
                         testing::Values(BatchCase{"None", 0, 2, false, 0},
                                         BatchCase{"OneOnTwo", 1, 2, false, 1},
                                         BatchCase{"ManyOnOne", 37, 1, false, 37},
                                         BatchCase{"ManyOnTwo", 37, 2, false, 37},
                                         BatchCase{"ManyOnThree", 200, 3, false, 200},
                                         BatchCase{"SlowHelper", 23, 2, true, 23},
                                         BatchCase{"StopOnOne", 30, 1, false, 4},
                                         BatchCase{"StopOnTwo", 30, 2, false, 4},
                                         BatchCase{"StopWithSlowHelper", 30, 2, true, 7}),
                         [](const testing::TestParamInfo<BatchCase>& info) {
                           return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// Lists from the survey

std::string Chinese(std::int64_t n) {
  return TextCodec::Convert(Numerals::Text(n, Numerals::Series::Chinese), Encoding::Gbk,
                            Encoding::Utf8)
      .value();
}

std::string Body(int n) {
  // Body lines that open like headings, to be matched and turned away.
  return "　　第" + Chinese(n + 40) + "章说过的事，他还记得。\n　　山风吹过，他站在崖边。\n";
}

/// Volumes, numbers starting again in each, a repeat and a gap; enough chapters that the
/// lines kept fill many batches.
std::string Volumes() {
  std::string book = "简介：一个故事。\n";
  for (int volume = 1; volume <= 4; ++volume) {
    book += "第" + Chinese(volume) + "卷 风云 \n";
    for (int n = 1; n <= 300; ++n) {
      if (n == 17) continue;
      book += "第" + Chinese(n) + "章　标题" + std::to_string(n) + "　\n" + Body(n);
      if (n == 40) book += "第" + Chinese(n) + "章　又一次\n" + Body(n);
    }
  }
  return book;
}

/// A contents block in front, then chapters between a prologue and an epilogue.
std::string Contents() {
  std::string book = "目录\n";
  for (int n = 1; n <= 50; ++n) book += "第" + std::to_string(n) + "章 标题\n";
  book += "楔子\n" + Body(0);
  for (int n = 1; n <= 700; ++n) book += "第" + std::to_string(n) + "章 标题\n" + Body(n);
  return book + "后记\n" + Body(1);
}

/// More lines that may be headings than the survey keeps the text of: the list reads the
/// rest where they lie. Over 8 MB, so that the survey reads it in slices.
std::string PastTheKeptText() {
  std::string book;
  for (int n = 1; n <= 100000; ++n) {
    book += "第" + std::to_string(n) + "章 标题\n　　第" + std::to_string(n + 40) +
            "章说过的事，他还记得。\n　　山风吹过，他站在崖边，看着远处的云海慢慢散开。\n";
  }
  return book;
}

struct ListCase {
  const char* name;
  std::string (*make)();
  Encoding encoding;
  bool trim;
  std::int64_t per;
  bool folders;
};

/// What a chapter list holds, as one string.
std::string Describe(const ScanResult& r) {
  std::string out = std::to_string(static_cast<int>(r.status)) + " " + r.error.Text() + " lines " +
                    std::to_string(r.lines) + " bytes " + std::to_string(r.sourceBytes) +
                    " count " + std::to_string(r.headingCount) + " preface " +
                    std::to_string(r.prefaceBytes) + " pieces " + std::to_string(r.pieces) + " " +
                    std::to_string(r.largestPiece) + "/" + std::to_string(r.smallestPiece) +
                    " text " + std::to_string(static_cast<int>(r.textEncoding));
  for (const ScannedHeading& h : r.headings) {
    out += "\n" + std::to_string(h.index) + " " + std::to_string(h.number) + " " +
           std::to_string(h.line) + " @" + std::to_string(h.offset) + " " + std::to_string(h.size) +
           " piece " + std::to_string(h.piece) + " " + h.title + " | " + h.file;
  }
  for (const NumberingIssue& issue : r.numbering) {
    out += "\nissue " + std::to_string(static_cast<int>(issue.kind)) + " " +
           std::to_string(issue.number) + "-" + std::to_string(issue.last) + " at " +
           std::to_string(issue.heading);
  }
  return out;
}

class ListFromSurvey : public testing::TestWithParam<ListCase> {
 protected:
  void SetUp() override {
    const ListCase& c = GetParam();
    std::string text = c.make();
    if (c.encoding != Encoding::Utf8) {
      text = TextCodec::Convert(text, Encoding::Utf8, c.encoding).value();
    }
    test::WriteFile(m_dir / "book.txt", text);
    m_options = test::OptionsFor(m_dir / "book.txt", m_dir / "out");
    m_options.encoding = c.encoding;
    m_options.trimSpaces = c.trim;
    m_options.chaptersPerPiece = c.per;
    m_options.volumeFolders = c.folders;
    m_options.autoDetect = true;
  }

  TempDir m_dir;
  SplitOptions m_options;
};

TEST_P(ListFromSurvey, ListsWhatOnePassByTheRuleFoundLists) {
  const ScanResult detected = ChapterScan::Run(m_options, nullptr);
  ASSERT_EQ(detected.status, ScanResult::Status::Done) << detected.error.Text();
  ASSERT_TRUE(detected.detection.found);
  ASSERT_GT(detected.headingCount, 100);
  // The same list made the long way: every line of the book read and matched in order.
  SplitOptions byRule = m_options;
  byRule.autoDetect = false;
  HeadingSurvey::Apply(detected.detection, byRule);
  const ScanResult onePass = ChapterScan::Run(byRule, nullptr);
  EXPECT_EQ(Describe(detected), Describe(onePass));
}

TEST_P(ListFromSurvey, MatchesAheadOnAnyNumberOfThreadsAsOnOne) {
  const HeadingSurvey::Result survey = HeadingSurvey::Run(m_options, nullptr);
  ASSERT_EQ(survey.end, HeadingSurvey::End::Done);
  ASSERT_TRUE(survey.allSeen);
  ASSERT_GT(survey.seen.size(), 4 * SeenLookahead::kBatchLines);
  if (GetParam().make == PastTheKeptText) {
    // The slices share the room for text, so which lines miss out depends on which thread
    // got there first; that some do is certain.
    ASSERT_TRUE(std::any_of(survey.seen.begin(), survey.seen.end(),
                            [](const auto& seen) { return seen.text < 0; }))
        << "every line's text was kept";
  }
  SplitOptions byRule = m_options;
  HeadingSurvey::Apply(survey.detection, byRule);
  Message refusal;
  const auto patterns = HeadingRule::Compile(byRule.regex, byRule.exclude, refusal);
  ASSERT_TRUE(patterns) << refusal.Text();
  SeenLookahead::Setup setup;
  setup.heading = *patterns;
  if (!byRule.volumeRegex.empty()) {
    setup.volumes = HeadingRule::Compile(byRule.volumeRegex, "", refusal);
    ASSERT_TRUE(setup.volumes) << refusal.Text();
  }
  setup.titleMax = byRule.titleMax;
  setup.rules = &TextRules::For(GetParam().encoding);
  setup.converts = GetParam().encoding == Encoding::Utf8;
  setup.matchRules = &TextRules::For(setup.converts ? Encoding::Gb18030 : GetParam().encoding);
  setup.text = GetParam().encoding;
  setup.trimSpaces = byRule.trimSpaces;
  setup.headingsFrom = byRule.headingsFrom;
  setup.sourcePath = byRule.sourcePath;
  const SeenLookahead lookahead(setup);
  // Each line as matched, the chain of headings taken as the list takes them.
  const auto run = [&](unsigned threads) {
    HeadingRule chapters(*patterns, setup.titleMax, *setup.rules);
    std::string out;
    lookahead.Run(survey, threads, [&](SeenLookahead::Entry& e) {
      out += std::to_string(e.line) + "@" + std::to_string(e.offset) + " " + std::string(e.text) +
             (e.skipped ? " skipped" : "") + (e.volume.match ? " volume" : "") +
             (e.heading.match ? " match " : " ") + std::to_string(e.heading.value) + "/" +
             std::to_string(e.heading.spoken) +
             (!e.skipped && chapters.Take(e.heading) ? " heading " : " ") + e.title + "|" +
             e.listed + "\n";
      return true;
    });
    return out;
  };
  const std::string one = run(1);
  EXPECT_NE(one.find(" heading "), std::string::npos);
  for (const unsigned threads : {2U, 3U}) EXPECT_EQ(run(threads), one) << threads << " threads";
}

INSTANTIATE_TEST_SUITE_P(
    Books, ListFromSurvey,
    testing::Values(
        ListCase{"VolumesGbk", Volumes, Encoding::Gbk, false, 1, false},
        ListCase{"VolumesUtf8TrimmedInFolders", Volumes, Encoding::Utf8, true, 1, true},
        ListCase{"VolumesGb18030ThreeAPiece", Volumes, Encoding::Gb18030, false, 3, false},
        ListCase{"ContentsGbkTrimmed", Contents, Encoding::Gbk, true, 1, false},
        ListCase{"ContentsUtf8TenAPiece", Contents, Encoding::Utf8, false, 10, false},
        ListCase{"PastTheKeptTextGbk", PastTheKeptText, Encoding::Gbk, false, 100, false}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sekato::engine
