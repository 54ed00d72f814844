#include <gtest/gtest.h>

#include "piecenamer.h"
#include "piecewriter.h"
#include "sekato/gbkcodec.h"
#include "sekato/messagecatalogue.h"
#include "siteaddresses.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

std::string Promotion() {
  return G(std::string(MessageCatalogue::kPromotion) + " " + SiteAddresses::kHome);
}

class ChapterSplit : public ::testing::Test {
 protected:
  std::string Source(const std::string& utf8) {
    std::string path = dir / "src.txt";
    WriteFile(path, G(utf8));
    return path;
  }
  std::string Piece(const std::string& utf8Name) {
    return ReadFile(dir / ("out/" + *GbkCodec::ToUtf8(G(utf8Name))));
  }
  TempDir dir;
  RecordingHost host;
};

TEST_F(ChapterSplit, PiecesCarryHeadTailAndPromotionByteForByte) {
  auto options =
      OptionsFor(Source("前言\r\n第一章 开始\r\n正文一\r\n第二章 继续\r\n正文二\r\n"), dir / "out");
  options.addHead = true;
  options.head = "HEAD";
  options.addTail = true;
  options.tail = "TAIL";
  options.noPromotion = false;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(host.Message(), "文件分割完成！");
  EXPECT_EQ(ListDir(dir / "out"), (std::vector<std::string>{"src_001.txt", "src_002.txt"}));
  const std::string ending = "\r\n\r\nTAIL\r\n\r\n" + Promotion();
  EXPECT_EQ(Piece("src_001.txt"), "HEAD\r\n\r\n" + G("前言\r\n第一章 开始\r\n正文一\r\n") + ending);
  EXPECT_EQ(Piece("src_002.txt"), "HEAD\r\n\r\n" + G("第二章 继续\r\n正文二") + ending);
}

TEST_F(ChapterSplit, SeveralChaptersAPieceAndTitleNames) {
  std::string text;
  for (const char* n : {"一", "二", "三", "四", "五", "六", "七"}) {
    text += std::string("第") + n + "章　标题" + n + "\r\n内容\r\n";
  }
  auto options = OptionsFor(Source("序\r\n" + text), dir / "out");
  options.chaptersPerPiece = 3;
  options.naming = PieceNaming::ChapterTitle;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "out"),
            (std::vector<std::string>{"001_第一章标题一.txt", "002_第四章标题四.txt",
                                      "003_第七章标题七.txt"}));
  EXPECT_EQ(
      Piece("001_第一章标题一.txt"),
      G("序\r\n第一章　标题一\r\n内容\r\n第二章　标题二\r\n内容\r\n第三章　标题三\r\n内容\r\n"));
  EXPECT_EQ(Piece("003_第七章标题七.txt"), G("第七章　标题七\r\n内容"));
}

TEST_F(ChapterSplit, TextWithoutHeadingsIsOnePieceWithAnEmptyTitle) {
  auto options = OptionsFor(Source("甲\r\n乙\r\n"), dir / "out");
  options.naming = PieceNaming::ChapterTitle;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "out"), std::vector<std::string>{"001_.txt"});
  EXPECT_EQ(Piece("001_.txt"), G("甲\r\n乙"));
}

TEST_F(ChapterSplit, RenamesNeverReplaceAndUnsafeTitlesKeepSequenceNames) {
  auto options = OptionsFor(
      Source("第一章 开始\r\n甲\r\n第二章 何/为\r\n乙\r\n第三章 问:答\r\n丙\r\n"), dir / "out");
  options.naming = PieceNaming::ChapterTitle;
  std::filesystem::create_directory(dir / "out");
  WriteFile(dir / ("out/" + std::string("001_第一章 开始.txt")), "OLD");
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "out"), (std::vector<std::string>{"001_第一章 开始.txt", "src_001.txt",
                                                            "src_002.txt", "src_003.txt"}));
  EXPECT_EQ(ReadFile(dir / "out/001_第一章 开始.txt"), "OLD");
  EXPECT_EQ(Piece("src_001.txt"), G("第一章 开始\r\n甲\r\n"));
}

TEST(PieceWriterNames, TitleFileNamesAreSafeOnEveryDevice) {
  std::string name;
  EXPECT_TRUE(PieceNamer::TitleFileName(G("第一章 回忆"), name));
  EXPECT_EQ(name, "第一章 回忆");
  // 0x5C and 0x7C as trail bytes belong to their characters (乗 is 81 5C).
  EXPECT_TRUE(PieceNamer::TitleFileName("\x81\x5C\x95\x7C", name));
  EXPECT_EQ(name, "乗晐");
  for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb",
                          "a\x7F"
                          "b"}) {
    EXPECT_FALSE(PieceNamer::TitleFileName(bad, name)) << bad;
  }
  EXPECT_FALSE(PieceNamer::TitleFileName("a\xFF", name));  // not GBK
  EXPECT_FALSE(PieceNamer::TitleFileName("a\xB5", name));  // a lone lead byte
  EXPECT_EQ(PieceNamer::SequenceText(1), "001");
  EXPECT_EQ(PieceNamer::SequenceText(42), "042");
  EXPECT_EQ(PieceNamer::SequenceText(1000), "1000");
}

TEST_F(ChapterSplit, AHeadingOnTheFirstLineOpensPieceOneAndLfSourcesSplitAlike) {
  auto crlf = OptionsFor(Source("第一章\r\n\r\n甲\r\n第二章\r\n乙"), dir / "out");
  ASSERT_EQ(Split(crlf, host), SplitOutcome::Completed);
  const std::string first = Piece("src_001.txt");
  const std::string second = Piece("src_002.txt");
  EXPECT_EQ(first, G("第一章\r\n\r\n甲\r\n"));
  EXPECT_EQ(second, G("第二章\r\n乙"));
  std::filesystem::remove_all(dir / "out");
  auto lf = OptionsFor(Source("第一章\n\n甲\n第二章\n乙\n"), dir / "out");
  RecordingHost again;
  ASSERT_EQ(Split(lf, again), SplitOutcome::Completed);
  EXPECT_EQ(Piece("src_001.txt"), first);
  EXPECT_EQ(Piece("src_002.txt"), second);
}

TEST_F(ChapterSplit, AMissingChapterNumberStopsNumberedMatching) {
  auto options = OptionsFor(Source("第1章\r\n甲\r\n第3章\r\n乙\r\n第2章\r\n丙\r\n第4章\r\n丁\r\n"),
                            dir / "out");
  options.keywords = G("第?章");
  options.numerals = Numerals::Series::Ascii;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "out").size(), 2u);
  EXPECT_EQ(Piece("src_002.txt"), G("第2章\r\n丙\r\n第4章\r\n丁"));
}

}  // namespace
}  // namespace sekato::engine
