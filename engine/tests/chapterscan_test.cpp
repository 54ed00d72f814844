#include "chapterscan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "messagecatalogue.h"
#include "numberparse.h"
#include "scanreport.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;
using Kind = NumberingIssue::Kind;
using S = Numerals::Series;

class ChapterScanTest : public ::testing::Test {
 protected:
  SplitOptions Novel(const char* keywords, const char* titleMax) {
    auto options = OptionsFor(CorpusNovel(), dir / "out");
    options.keywords = G(keywords);
    options.titleMax = ParseNumber(titleMax);
    return options;
  }
  TempDir dir;
};

TEST_F(ChapterScanTest, ReportsTheRepeatedChapterOfTheSampleNovelAndWritesNothing) {
  const auto r = ChapterScan::Run(Novel("第 回", "30"));
  ASSERT_EQ(r.status, ScanResult::Status::Done);
  EXPECT_EQ(r.headingCount, 121);
  EXPECT_EQ(r.pieces, 121);
  ASSERT_EQ(r.numbering.size(), 1u);
  EXPECT_EQ(r.numbering[0].kind, Kind::Repeat);
  EXPECT_EQ(r.numbering[0].number, 35);
  EXPECT_EQ(r.numbering[0].lines, (std::vector<std::int64_t>{5976, 6106}));
  EXPECT_EQ(r.headings.back().number, 120);
  EXPECT_EQ(r.headings.back().line, 20341);
  EXPECT_EQ(r.nearMissCount, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST_F(ChapterScanTest, ListsWhatTheSplitWrites) {
  struct Case {
    const char* keywords;
    const char* titleMax;
    const char* perFile;
    S series;
    bool trim = false;
  };
  const std::vector<Case> cases = {{"第 回", "30", "1", S::None},
                                   {"第?回", "30", "1", S::Chinese},
                                   {"第 回", "20", "3", S::None},
                                   {"第  章", "20", "1", S::None},
                                   {"第 回", "24", "2", S::None, true}};
  for (const auto& c : cases) {
    TempDir out;
    auto options = Novel(c.keywords, c.titleMax);
    options.newFolder = out / "pieces";
    options.chaptersPerPiece = ParseNumber(c.perFile);
    options.naming = PieceNaming::ChapterTitle;
    options.trimSpaces = c.trim;
    options.numerals = c.series;
    const auto r = ChapterScan::Run(options);
    RecordingHost host;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
    const auto names = ListDir(out / "pieces");
    ASSERT_EQ(r.pieces, static_cast<std::int64_t>(names.size())) << c.keywords;
    for (const auto& h : r.headings) {
      if ((h.index - 1) % std::stoll(c.perFile) == 0) {
        EXPECT_EQ(h.file, names[static_cast<std::size_t>(h.piece - 1)]) << h.line;
      }
    }
  }
}

TEST_F(ChapterScanTest, ReadsEachEncodingAsTheSplitDoes) {
  // Traditional characters, so the book is the same text in GBK and in Big5; headings of
  // 12, 11 and 12 characters, so a limit of 11 takes one and leaves two near misses.
  const std::string book =
      "序\r\n第一回　宴桃園豪傑三結義\r\n　　話說天下大勢，分久必合。\r\n"
      "第二回　張翼德怒鞭督郵\r\n　　且說董卓字仲穎，隴西臨洮人也。\r\n"
      "第三回　議溫明董卓叱丁原\r\n　　且說曹操當日對何進曰。";
  struct Form {
    Encoding encoding;
    bool mark;
  };
  const std::vector<Form> forms = {{Encoding::Gbk, false},
                                   {Encoding::Utf8, false},
                                   {Encoding::Big5, false},
                                   {Encoding::Utf16Le, true}};
  for (const char* titleMax : {"30", "11"}) {
    std::vector<std::string> expected;  // what the GBK copy lists
    for (const Form& form : forms) {
      SCOPED_TRACE(std::string(Encodings::Name(form.encoding)) + " limit " + titleMax);
      const std::string mark =
          form.mark ? std::string(Encodings::ByteOrderMark(form.encoding)) : "";
      const std::string bytes = mark + *TextCodec::Convert(book, Encoding::Utf8, form.encoding);
      TempDir out;
      WriteFile(out / "book.txt", bytes);
      auto options = OptionsFor(out / "book.txt", out / "pieces");
      options.textEncoding = Encoding::Utf8;
      options.keywords = "第 回";
      options.titleMax = ParseNumber(titleMax);
      options.naming = PieceNaming::ChapterTitle;
      // Too short to tell Big5 from GBK by itself: chosen, as -e does.
      if (form.encoding == Encoding::Big5) options.encoding = Encoding::Big5;
      const auto r = ChapterScan::Run(options);
      ASSERT_EQ(r.status, ScanResult::Status::Done) << r.error.Text();
      EXPECT_EQ(r.sourceEncoding, form.encoding);
      std::vector<std::string> listed;
      std::int64_t total = r.prefaceBytes;
      for (const auto& h : r.headings) {
        total += h.size;
        // Offsets and sizes are the source's bytes: the chapter they cut out is the chapter.
        const std::string chapter =
            bytes.substr(static_cast<std::size_t>(h.offset), static_cast<std::size_t>(h.size));
        std::string utf8 = *TextCodec::Convert(chapter, form.encoding, Encoding::Utf8);
        for (auto at = utf8.find("　"); at != std::string::npos; at = utf8.find("　")) {
          utf8.erase(at, 3);  // as titles are cleaned
        }
        EXPECT_EQ(utf8.rfind(ScanReport::Utf8(h.title, r.textEncoding), 0), 0u) << utf8;
        listed.push_back(std::to_string(h.number) + " " + std::to_string(h.line) + " " +
                         ScanReport::Utf8(h.title, r.textEncoding) + " " + h.file);
      }
      for (const auto& miss : r.nearMisses) {
        listed.push_back(std::to_string(miss.line) + " " + std::to_string(miss.chars) + " " +
                         ScanReport::Utf8(miss.text, r.textEncoding));
      }
      listed.push_back(std::to_string(r.pieces) + " " + std::to_string(r.suggestedTitleMax));
      if (expected.empty()) expected = listed;
      EXPECT_EQ(listed, expected);
      EXPECT_EQ(total, static_cast<std::int64_t>(bytes.size()));
      // The split cuts where the inspection says, into the pieces it names.
      RecordingHost host;
      ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
      const auto names = ListDir(out / "pieces");
      ASSERT_EQ(static_cast<std::int64_t>(names.size()), r.pieces);
      for (const auto& h : r.headings) {
        EXPECT_EQ(names[static_cast<std::size_t>(h.piece - 1)], h.file);
      }
    }
  }
}

TEST_F(ChapterScanTest, NumberingReportsGapsRepeatsAndNumbersOutOfOrder) {
  const std::string source = dir / "book.txt";
  // Headings on lines 2, 4, 6, 8, 10, 12, 14: numbers 1 2 3 3 5 7 6.
  WriteFile(source, G("序\r\n第1章\r\na\r\n第二章\r\nb\r\n第三章\r\nc\r\n第三章\r\nd\r\n"
                      "第五章\r\ne\r\n第7章\r\nf\r\n第六章\r\ng"));
  auto options = OptionsFor(source, dir / "out");
  options.chaptersPerPiece = 2;
  const auto r = ChapterScan::Run(options);
  ASSERT_EQ(r.headingCount, 7);
  ASSERT_EQ(r.numbering.size(), 3u);
  EXPECT_EQ(r.numbering[0].kind, Kind::Repeat);
  EXPECT_EQ(r.numbering[0].lines, (std::vector<std::int64_t>{6, 8}));
  EXPECT_EQ(r.numbering[1].kind, Kind::Gap);  // 4 missing; 6, skipped by 7, comes later
  EXPECT_EQ(r.numbering[1].number, 4);
  EXPECT_EQ(r.numbering[1].lines, (std::vector<std::int64_t>{8, 10}));
  EXPECT_EQ(r.numbering[2].kind, Kind::OutOfOrder);
  EXPECT_EQ(r.numbering[2].number, 6);
  EXPECT_EQ(r.numbering[2].heading, 7);
  EXPECT_EQ(r.prefaceBytes, 4);
  EXPECT_EQ(r.headings[0].offset, 4);
  EXPECT_EQ(r.headings[0].size, 10);
  EXPECT_EQ(r.headings[6].piece, 4);
  EXPECT_EQ(r.pieces, 4);
  EXPECT_EQ(r.largestPiece, 4 + 10 + 11);  // preface and chapters 1, 2
  EXPECT_EQ(r.smallestPiece, 9);           // chapter 6 alone, without a last line break
}

TEST_F(ChapterScanTest, SuggestsOptionsOnTheWindowsDefaults) {
  // The defaults look for 第…章: the book's 第N回 headings are the form to suggest.
  auto r = ChapterScan::Run(Novel("第  章", "20"));
  EXPECT_EQ(r.headingCount, 0);
  ASSERT_FALSE(r.forms.empty());
  EXPECT_EQ(r.forms[0].label, "第N回");
  EXPECT_EQ(r.forms[0].lines, 121);
  EXPECT_EQ(r.forms[0].keywords, G("第 回"));
  const auto suggested = std::to_string(r.forms[0].titleMax);
  EXPECT_EQ(ChapterScan::Run(Novel("第 回", suggested.c_str())).headingCount, 121);
  // With 第 回 most headings are longer than 20 characters: near misses tell the limit.
  r = ChapterScan::Run(Novel("第 回", "20"));
  EXPECT_EQ(r.headingCount, 19);
  EXPECT_EQ(r.headingCount + r.nearMissCount, 121);
  EXPECT_EQ(r.suggestedTitleMax, r.forms.empty() ? 24 : 0);
  ASSERT_FALSE(r.nearMisses.empty());
  EXPECT_EQ(r.nearMisses[0].text.substr(0, 6), G("第一回"));
}

TEST_F(ChapterScanTest, RefusesWhatTheSplitRefuses) {
  auto options = Novel("第?回", "30");
  EXPECT_EQ(ChapterScan::Run(options).status, ScanResult::Status::Refused);
  options.sourcePath = dir / "missing.txt";
  options.numerals = S::Chinese;
  EXPECT_EQ(ChapterScan::Run(options).status, ScanResult::Status::Failed);
  RecordingHost stopping;
  stopping.stopAfterPolls = 0;
  const auto r = ChapterScan::Run(Novel("第 回", "30"), &stopping);
  EXPECT_EQ(stopping.polls, 1);
  EXPECT_EQ(stopping.reported, Encoding::Gbk);
  EXPECT_EQ(r.status, ScanResult::Status::Stopped);
}

TEST_F(ChapterScanTest, RefusesAFifoOrADeviceWithTheSplitsMessage) {
  const std::string fifo = dir / "pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/null")}) {
    auto options = Novel("第 回", "30");
    options.sourcePath = path;
    const ScanResult r = ChapterScan::Run(options);
    EXPECT_EQ(r.status, ScanResult::Status::Refused) << path;
    EXPECT_EQ(r.error, (Message{MessageId::NotRegularSource, {path}}));
  }
}

}  // namespace
}  // namespace sekato::engine
