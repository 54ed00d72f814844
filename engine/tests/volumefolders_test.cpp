#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "sekato/chapterscan.h"
#include "sekato/olderpieces.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::TempDir;
/// A piece's path under the output folder and its first line.
using Piece = std::pair<std::string, std::string>;

constexpr const char* kChapterRule = "^第(?<n>\\d+)章";
constexpr const char* kVolumeRule = "^第\\d+卷";

/// A UTF-8 book (CR LF): "V" lines are volume headings, "C" chapters, anything else as it is;
/// every chapter is followed by body text that holds traps.
std::string Book(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
    if (line.find("章") != std::string::npos || line == "楔子") {
      text += "　　第三天，天刚亮他就起来了。\r\n　　他把第二章节又读了一遍。\r\n";
    }
  }
  return text;
}

/// Every piece under `dir`, folders included, with its first line, sorted by path.
std::vector<Piece> Pieces(const std::string& dir) {
  std::vector<Piece> pieces;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string text = test::ReadFile(entry.path().string());
    pieces.emplace_back(std::filesystem::relative(entry.path(), dir).string(),
                        text.substr(0, text.find("\r\n")));
  }
  std::sort(pieces.begin(), pieces.end());
  return pieces;
}

struct FolderCase {
  const char* name;
  std::vector<std::string> lines;
  bool autoDetect;  ///< else by the chapter and volume rules above
  std::int64_t per;
  bool titleNames;
  std::vector<Piece> expected;
};

class VolumeFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(VolumeFolders, EachVolumeInItsFolderAndTheListSaysSo) {
  const FolderCase& c = GetParam();
  TempDir dir;
  test::WriteFile(dir / "book.txt", Book(c.lines));
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.volumeFolders = true;
  options.chaptersPerPiece = c.per;
  options.autoDetect = c.autoDetect;
  if (!c.autoDetect) {
    options.regex = kChapterRule;
    options.volumeRegex = kVolumeRule;
  }
  if (c.titleNames) options.naming = PieceNaming::ChapterTitle;
  test::RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(Pieces(dir / "out"), c.expected);
  EXPECT_EQ(host.tally.pieces, static_cast<std::int64_t>(c.expected.size()));
  EXPECT_TRUE(host.warned.empty()) << host.warnings.front();
  // Nothing of the book is lost or doubled across the folders.
  std::string joined;
  for (const auto& [path, first] : c.expected) joined += test::ReadFile(dir / "out/" + path);
  EXPECT_EQ(test::WithoutBreaks(joined), test::WithoutBreaks(Book(c.lines)));

  // The chapter list names the same files, folders included, and counts the same pieces.
  const ScanResult listed = ChapterScan::Run(options);
  ASSERT_EQ(listed.status, ScanResult::Status::Done);
  EXPECT_EQ(listed.pieces, static_cast<std::int64_t>(c.expected.size()));
  std::vector<std::string> files;
  for (const ScannedHeading& h : listed.headings) {
    if (files.empty() || files.back() != h.file) files.push_back(h.file);
  }
  std::vector<std::string> paths;
  for (const auto& [path, first] : c.expected) paths.push_back(path);
  EXPECT_EQ(files, paths);
}

const std::vector<std::string> kTwoVolumes = {"简介：一个故事。", "第1卷 风起", "第1章 开端",
                                              "第2章 山路",       "第3章 夜雨", "第4章 渡口",
                                              "第2卷 云涌",       "第5章 城门", "第6章 旧友"};

INSTANTIATE_TEST_SUITE_P(
    Books, VolumeFolders,
    testing::Values(
        // Three chapters a piece: the fourth chapter is a piece of its own, as the volume
        // ends there, and the second volume's heading opens its first piece.
        FolderCase{"PerThreeAcrossAVolume",
                   kTwoVolumes,
                   false,
                   3,
                   false,
                   {{"01_第1卷 风起/book_001.txt", "简介：一个故事。"},
                    {"01_第1卷 风起/book_002.txt", "第4章 渡口"},
                    {"02_第2卷 云涌/book_003.txt", "第2卷 云涌"}}},
        FolderCase{"OneChapterAPieceNamedByTitles",
                   {"第1卷 风起", "第1章 开端", "第2章 山路", "第2卷 云:涌", "第3章 城门"},
                   false,
                   1,
                   true,
                   {{"01_第1卷 风起/001_第1章 开端.txt", "第1卷 风起"},
                    {"01_第1卷 风起/002_第2章 山路.txt", "第2章 山路"},
                    {"02/003_第3章 城门.txt", "第2卷 云:涌"}}},
        // A chapter before the first volume goes into its folder, in a piece of its own.
        FolderCase{"SpecialHeadingBeforeTheFirstVolume",
                   {"楔子", "第一卷 风起", "第一章 开端", "第二章 山路", "第三章 夜雨",
                    "第二卷 云涌", "第一章 城门", "第二章 旧友", "第三章 归来", "第三卷 落幕",
                    "第一章 离别", "第二章 远行", "第三章 重逢", "后记"},
                   true,
                   2,
                   false,
                   {{"01_第一卷 风起/book_001.txt", "楔子"},
                    {"01_第一卷 风起/book_002.txt", "第一卷 风起"},
                    {"01_第一卷 风起/book_003.txt", "第三章 夜雨"},
                    {"02_第二卷 云涌/book_004.txt", "第二卷 云涌"},
                    {"02_第二卷 云涌/book_005.txt", "第三章 归来"},
                    {"03_第三卷 落幕/book_006.txt", "第三卷 落幕"},
                    {"03_第三卷 落幕/book_007.txt", "第三章 重逢"}}},
        // Numbers that run on through the volumes, found without being told.
        FolderCase{"NumbersRunOnFoundByDetection",
                   {"简介", "第一卷 风起", "第一章 开端", "第二章 山路", "第二卷 云涌",
                    "第三章 城门", "第四章 旧友", "第三卷 落幕", "第五章 离别", "第六章 远行"},
                   true,
                   1,
                   false,
                   {{"01_第一卷 风起/book_001.txt", "简介"},
                    {"01_第一卷 风起/book_002.txt", "第二章 山路"},
                    {"02_第二卷 云涌/book_003.txt", "第二卷 云涌"},
                    {"02_第二卷 云涌/book_004.txt", "第四章 旧友"},
                    {"03_第三卷 落幕/book_005.txt", "第三卷 落幕"},
                    {"03_第三卷 落幕/book_006.txt", "第六章 远行"}}}),
    [](const testing::TestParamInfo<FolderCase>& info) { return info.param.name; });

TEST(VolumeFolders, WithoutAVolumeHeadingThePiecesStayInTheFolder) {
  TempDir dir;
  test::WriteFile(dir / "book.txt", Book({"第1章 开端", "第2章 山路", "第3章 夜雨"}));
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.volumeFolders = true;
  options.autoDetect = true;
  test::RecordingHost host;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(test::ListDir(dir / "out"),
            (std::vector<std::string>{"book_001.txt", "book_002.txt", "book_003.txt"}));
  EXPECT_TRUE(host.tally.folders.empty());
}

TEST(VolumeFolders, OlderPiecesAreFoundInTheFoldersAndBesideThem) {
  TempDir dir;
  test::WriteFile(dir / "book.txt", Book(kTwoVolumes));
  SplitOptions options = test::OptionsFor(dir / "book.txt", dir / "out");
  options.regex = kChapterRule;
  options.volumeRegex = kVolumeRule;
  test::RecordingHost host;
  // First flat, one chapter a piece: six pieces.
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  options.volumeFolders = true;
  const std::vector<std::string> flat = OlderPieces::Find(options, 0);
  ASSERT_EQ(flat.size(), 6U);
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  EXPECT_EQ(host.tally.folders,
            (std::vector<RunTally::Folder>{{"01_第1卷 风起", 1}, {"02_第2卷 云涌", 5}}));
  // The flat pieces stay, but for the first: the split wrote it before the first volume
  // heading and took it into that volume's folder.
  std::vector<std::string> left(flat.begin() + 1, flat.end());
  EXPECT_EQ(OlderPieces::Kept(flat, options, host.tally), left);

  // Again with two chapters a piece: three pieces, so 003 and 004 in the first folder and
  // 005, 006 in the second are left of the split before; 003 now lies in the second folder.
  const std::vector<std::string> before = OlderPieces::Find(options, 0);
  EXPECT_EQ(before.size(), 11U);
  options.chaptersPerPiece = 2;
  ASSERT_EQ(test::Split(options, host), SplitOutcome::Completed) << host.Message();
  std::vector<std::string> expected = left;
  for (const char* name : {"01_第1卷 风起/book_003.txt", "01_第1卷 风起/book_004.txt",
                           "02_第2卷 云涌/book_005.txt", "02_第2卷 云涌/book_006.txt"}) {
    expected.emplace_back(name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(OlderPieces::Kept(before, options, host.tally), expected);
  std::string error;
  ASSERT_TRUE(OlderPieces::Remove(dir / "out", expected, error)) << error;
  EXPECT_EQ(OlderPieces::Find(options, 0),
            (std::vector<std::string>{"01_第1卷 风起/book_001.txt", "01_第1卷 风起/book_002.txt",
                                      "02_第2卷 云涌/book_003.txt"}));
}

TEST(VolumeFolders, FolderNamesTellVolumeFoldersFromOthers) {
  const struct {
    const char* name;
    bool volume;
  } cases[] = {{"01", true},   {"12_第十二卷", true}, {"120_x", true}, {"1_第一卷", false},
               {"01_", false}, {"ab_01", false},      {"0a", false},   {"", false}};
  for (const auto& c : cases)
    EXPECT_EQ(OlderPieces::IsVolumeFolderName(c.name), c.volume) << c.name;
}

}  // namespace
}  // namespace sekato::engine
