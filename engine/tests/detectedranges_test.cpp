#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <functional>
#include <string>
#include <utility>

#include "sekato/numerals.h"
#include "sekato/splitrun.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using test::G;
using test::TempDir;

std::string Chinese(std::int64_t n) {
  return TextCodec::Convert(Numerals::Text(n, Numerals::Series::Chinese), Encoding::Gbk,
                            Encoding::Utf8)
      .value();
}

/// A UTF-8 book of CR LF lines: a preface, 12 chapters, a volume heading every `perVolume`
/// chapters (0: none), chapter numbers starting again in each volume when `restart`, and a
/// contents block in front when `contents`.
std::string Novel(int perVolume, bool restart, bool contents) {
  std::string text;
  const auto line = [&](const std::string& l) { text += l + "\r\n"; };
  line("简介：一个故事。");
  if (contents) {
    line("目录");
    for (int n = 1; n <= 12; ++n) line("第" + Chinese(n) + "章 标题" + std::to_string(n));
  }
  int number = 0;
  for (int n = 1; n <= 12; ++n) {
    if (perVolume > 0 && (n - 1) % perVolume == 0) {
      line("第" + Chinese((n - 1) / perVolume + 1) + "卷 风云");
      if (restart) number = 0;
    }
    line("第" + Chinese(++number) + "章 标题" + std::to_string(n));
    line("　　山风吹过，他站在崖边，看着远处的云海慢慢散开，心里想着明天的事。");
    line("　　第三天，天刚亮他就起来了。");
    line("");
    line("　　他把第二章节又读了一遍。");
  }
  return text;
}

/// Every file under `dir`, volume folders too, by its path there, with its bytes.
std::map<std::string, std::string> AllFiles(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    files[std::filesystem::relative(entry.path(), dir).string()] =
        test::ReadFile(entry.path().string());
  }
  return files;
}

/// The same book in Big5: its simplified characters written as Big5 has them.
std::string Big5(const std::string& utf8) {
  static const std::pair<const char*, const char*> kTraditional[] = {
      {"个", "個"}, {"刚", "剛"}, {"处", "處"}, {"开", "開"}, {"录", "錄"}, {"来", "來"},
      {"标", "標"}, {"着", "著"}, {"简", "簡"}, {"节", "節"}, {"读", "讀"}, {"边", "邊"},
      {"过", "過"}, {"远", "遠"}, {"题", "題"}, {"风", "風"}, {"云", "雲"}};
  std::string text = utf8;
  for (const auto& [from, to] : kTraditional) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, std::string(from).size(), to);
    }
  }
  return TextCodec::Convert(text, Encoding::Utf8, Encoding::Big5).value();
}

struct RangeCase {
  const char* name;
  std::string book;  ///< as written to disk
  std::function<void(SplitOptions&)> set;
  bool byRanges;  ///< the run may cut by byte ranges
};

class DetectedRanges : public testing::TestWithParam<RangeCase> {};

// The same run with range copies on and off: the same files, bytes and names, the same
// tally and warnings; and the copies are made exactly where the book and options allow.
TEST_P(DetectedRanges, CutsTheBookAsTheSplitLineByLineDoes) {
  const RangeCase& c = GetParam();
  TempDir dir;
  test::WriteFile(dir / "book.txt", c.book);
  const auto run = [&](const std::string& out, bool ranges, test::RecordingHost& host) {
    SplitOptions options = test::OptionsFor(dir / "book.txt", dir / out);
    options.autoDetect = true;
    c.set(options);
    SplitRun split(options, host);
    split.SetRangeCopies(ranges);
    EXPECT_EQ(test::Execute(split, host), SplitOutcome::Completed) << host.Message();
    return split.CutDetectedByRanges();
  };
  test::RecordingHost byLines;
  test::RecordingHost byRanges;
  EXPECT_FALSE(run("lines", false, byLines));
  EXPECT_EQ(run("ranges", true, byRanges), c.byRanges);
  const auto want = AllFiles(dir / "lines");
  EXPECT_GT(want.size(), 1U);
  EXPECT_EQ(AllFiles(dir / "ranges"), want);
  EXPECT_EQ(byRanges.tally.pieces, byLines.tally.pieces);
  EXPECT_EQ(byRanges.tally.headings, byLines.tally.headings);
  EXPECT_EQ(byRanges.tally.gapsOrRepeats, byLines.tally.gapsOrRepeats);
  EXPECT_EQ(byRanges.tally.folders, byLines.tally.folders);
  EXPECT_EQ(byRanges.warnings, byLines.warnings);
  // Progress goes from start to end once over detection and the split.
  ASSERT_FALSE(byRanges.positions.empty());
  EXPECT_EQ(byRanges.positions.back(), byRanges.range);
}

const auto kAsIs = [](SplitOptions&) {};

INSTANTIATE_TEST_SUITE_P(
    Books, DetectedRanges,
    testing::Values(
        RangeCase{"Chapters", G(Novel(0, false, false)), kAsIs, true},
        RangeCase{"ThreeAPiece", G(Novel(0, false, false)),
                  [](SplitOptions& o) { o.chaptersPerPiece = 3; }, true},
        RangeCase{"VolumesOpenPieces", G(Novel(4, false, false)),
                  [](SplitOptions& o) { o.chaptersPerPiece = 2; }, true},
        RangeCase{"VolumesNumberedAgain", G(Novel(3, true, false)),
                  [](SplitOptions& o) { o.chaptersPerPiece = 3; }, true},
        RangeCase{"ContentsInFront", G(Novel(0, false, true)), kAsIs, true},
        RangeCase{"TitleNames", G(Novel(4, false, false)),
                  [](SplitOptions& o) {
                    o.naming = PieceNaming::ChapterTitle;
                    o.chaptersPerPiece = 5;
                  },
                  true},
        RangeCase{"HeadAndTail", G(Novel(0, false, false)),
                  [](SplitOptions& o) {
                    o.addHead = o.addTail = true;
                    o.head = G("卷首");
                    o.tail = G("卷尾");
                    o.noPromotion = false;
                  },
                  true},
        RangeCase{"Gb18030Book", G(Novel(4, false, false)),
                  [](SplitOptions& o) {
                    o.encoding = Encoding::Gb18030;
                    o.naming = PieceNaming::ChapterTitle;
                  },
                  true},
        RangeCase{"NoLastLineFeed", G(Novel(0, false, false) + "完"), kAsIs, true},
        RangeCase{"EmptyLastLine", G(Novel(0, false, false) + "\r\n"), kAsIs, true},
        // What the pieces would write otherwise than the book holds is written line by line.
        RangeCase{"BareLineFeed", G(Novel(0, false, false) + "后记\n完"), kAsIs, false},
        RangeCase{"FirstLineEmpty", G("\r\n" + Novel(0, false, false)), kAsIs, false},
        RangeCase{"Trimmed", G(Novel(0, false, false)),
                  [](SplitOptions& o) { o.trimSpaces = true; }, false},
        RangeCase{"IntoUtf8", G(Novel(0, false, false)),
                  [](SplitOptions& o) { o.outEncoding = Encoding::Utf8; }, false},
        RangeCase{"Utf8Book", Novel(0, false, false), kAsIs, false},
        RangeCase{"Big5Book",
                  Big5(Novel(0, false, false)),
                  [](SplitOptions& o) { o.encoding = Encoding::Big5; }, false},
        RangeCase{"VolumeFolders", G(Novel(4, false, false)),
                  [](SplitOptions& o) { o.volumeFolders = true; }, false}),
    [](const testing::TestParamInfo<RangeCase>& info) { return info.param.name; });

TEST(DetectedRanges, AStopEndsTheRunAndKeepsWhatWasWritten) {
  TempDir dir;
  test::WriteFile(dir / "book.txt", G(Novel(0, false, false)));
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.autoDetect = true;
  for (std::int64_t poll = 0; poll < 40; ++poll) {
    SCOPED_TRACE("stopped at poll " + std::to_string(poll));
    std::filesystem::remove_all(dir / "out");
    test::RecordingHost host;
    host.stopAfterPolls = poll;
    SplitRun run(options, host);
    const SplitOutcome end = test::Execute(run, host);
    if (end == SplitOutcome::Completed) {
      EXPECT_GT(poll, 2);
      EXPECT_TRUE(run.CutDetectedByRanges());
      break;
    }
    ASSERT_EQ(end, SplitOutcome::Stopped) << host.Message();
    EXPECT_EQ(static_cast<std::int64_t>(test::ListDir(dir / "out").size()), host.tally.pieces);
  }
}

}  // namespace
}  // namespace sekato::engine
