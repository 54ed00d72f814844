#include <gtest/gtest.h>

#include <random>

#include "iconvhandle.h"
#include "sekato/encodingdetector.h"
#include "sekato/messagecatalogue.h"
#include "sekato/splitrun.h"
#include "sekato/textrules.h"
#include "tabletranscoder.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;

// A traditional-Chinese book in three chapters: every character is in GBK and in Big5.
const std::string kTraditional =
    "序\r\n"
    "第一回　宴桃園豪傑三結義\r\n"
    "　　話說天下大勢，分久必合，合久必分。周末七國分爭，并入於秦。及秦滅之後，楚、漢分爭。\r\n"
    "第二回　張翼德怒鞭督郵\r\n"
    "　　且說董卓字仲穎，隴西臨洮人也，官拜河東太守，自來驕傲。那日怠慢了玄德，張飛性發。\r\n"
    "第三回　議溫明董卓叱丁原\r\n"
    "　　且說曹操當日對何進曰：宦官之禍，古今皆有；但世主不當假之權寵，使至於此。";

std::string Encode(const std::string& utf8, Encoding to, bool mark = false) {
  auto bytes = TextCodec::Convert(utf8, Encoding::Utf8, to);
  if (!bytes) throw std::runtime_error("cannot encode");
  return (mark ? std::string(Encodings::ByteOrderMark(to)) : std::string()) + *bytes;
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += (i ? "\r\n" : "") + text;
  return out;
}

class EncodingSplit : public ::testing::Test {
 protected:
  SplitOptions Options(const std::string& bytes, const std::string& name) {
    WriteFile(dir / name, bytes);
    auto options = OptionsFor(dir / name, dir / ("out-" + name));
    options.textEncoding = Encoding::Utf8;
    options.keywords = "第 回";
    options.titleMax = 30;
    return options;
  }
  TempDir dir;
};

TEST_F(EncodingSplit, ChapterPiecesOfTheSameBookConvertIntoEachOther) {
  const std::string novel =
      *TextCodec::Convert(ReadFile(CorpusNovel()), Encoding::Gbk, Encoding::Utf8);
  struct Case {
    const char* what;
    std::string utf8;
    Encoding encoding;
    bool mark;
    bool trim;
    Encoding to = Encoding::Auto;  // the pieces' encoding when not the source's
  };
  const std::vector<Case> cases = {
      {"novel in UTF-8", novel, Encoding::Utf8, false, false},
      {"novel in UTF-8 written as GBK", novel, Encoding::Utf8, false, true, Encoding::Gbk},
      {"novel in GBK written as UTF-16BE", novel, Encoding::Gbk, false, false, Encoding::Utf16Be},
      {"traditional in UTF-8 written as Big5", Repeat(kTraditional, 2), Encoding::Utf8, true, false,
       Encoding::Big5},
      {"traditional in Big5", Repeat(kTraditional, 2), Encoding::Big5, false, true},
      {"traditional in UTF-8 with a mark", kTraditional, Encoding::Utf8, true, true},
      {"traditional in UTF-16LE", kTraditional, Encoding::Utf16Le, true, false},
      {"traditional in UTF-16BE", kTraditional, Encoding::Utf16Be, true, true},
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string n = std::to_string(run++);
    auto gbk = Options(Encode(c.utf8, Encoding::Gbk), "gbk" + n + ".txt");
    auto other = Options(Encode(c.utf8, c.encoding, c.mark), "other" + n + ".txt");
    for (SplitOptions* o : {&gbk, &other}) {
      o->naming = PieceNaming::ChapterTitle;
      o->noPromotion = false;
      o->addHead = o->addTail = true;
      o->head = "頭";
      o->tail = "尾";
      o->trimSpaces = c.trim;
    }
    other.outEncoding = c.to;
    const Encoding output = c.to == Encoding::Auto ? c.encoding : c.to;
    const bool marked = (c.mark && c.to == Encoding::Auto) || Encodings::IsUtf16(output);
    RecordingHost gbkHost, otherHost;
    ASSERT_EQ(Split(gbk, gbkHost), SplitOutcome::Completed);
    ASSERT_EQ(Split(other, otherHost), SplitOutcome::Completed);
    EXPECT_EQ(gbkHost.reported, Encoding::Gbk);
    EXPECT_EQ(otherHost.reported, c.encoding);
    const auto names = ListDir(gbk.newFolder);
    ASSERT_EQ(ListDir(other.newFolder), names);
    EXPECT_GT(names.size(), 2u);
    for (const auto& name : names) {
      const std::string piece = ReadFile(gbk.newFolder + "/" + name);
      const std::string expected =
          (marked ? std::string(Encodings::ByteOrderMark(output)) : std::string()) +
          *TextCodec::Convert(piece, Encoding::Gbk, output);
      EXPECT_TRUE(ReadFile(other.newFolder + "/" + name) == expected) << name;
    }
  }
}

TEST_F(EncodingSplit, SizeAndEvenPiecesAreWholeCharactersWithinTheLimitAndJoinBack) {
  const std::string text = Repeat(kTraditional, 12);
  const std::string rare =
      Repeat(kTraditional + "\r\n𠀀𠀁𠀂（擴展乙）", 12);  // four bytes in GB18030
  struct Case {
    std::string utf8;
    Encoding source;
    Encoding output;  // Auto: as the source
  };
  const std::vector<Case> cases = {
      {text, Encoding::Gbk, Encoding::Auto},        {text, Encoding::Big5, Encoding::Auto},
      {text, Encoding::Utf8, Encoding::Auto},       {rare, Encoding::Gb18030, Encoding::Auto},
      {text, Encoding::Utf16Le, Encoding::Auto},    {text, Encoding::Utf8, Encoding::Gbk},
      {rare, Encoding::Utf8, Encoding::Gb18030},    {text, Encoding::Gbk, Encoding::Utf16Be},
      {text + "Ê", Encoding::Utf8, Encoding::Big5},  // held back by the converter to the end
  };
  struct Mode {
    int split;
    bool keepLines;
  };
  int run = 0;
  for (const Case& c : cases) {
    const Encoding output = c.output == Encoding::Auto ? c.source : c.output;
    const bool utf16 = Encodings::IsUtf16(output);
    const std::string mark(utf16 ? Encodings::ByteOrderMark(output) : "");
    for (const Mode mode : {Mode{1, false}, Mode{1, true}, Mode{2, false}}) {
      SCOPED_TRACE(std::string(Encodings::Name(c.source)) + " to " +
                   std::string(Encodings::Name(output)) + " mode " + std::to_string(mode.split) +
                   (mode.keepLines ? " keep" : ""));
      auto options = Options(Encode(c.utf8, c.source, Encodings::IsUtf16(c.source)),
                             "src" + std::to_string(run++) + ".txt");
      options.encoding = c.source;
      options.outEncoding = c.output;
      options.mode = static_cast<SplitMode>(mode.split);
      options.keepLines = mode.keepLines;
      options.maxKb = 1;
      options.parts = 7;
      RecordingHost host;
      ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
      EXPECT_TRUE(host.warnings.empty());
      const auto names = ListDir(options.newFolder);
      if (mode.split == 2) {
        EXPECT_GE(names.size(), 6u);
      }
      std::string joined;
      for (const auto& name : names) {
        std::string piece = ReadFile(options.newFolder + "/" + name);
        if (mode.split == 1) {  // the line break before a moved or cut line stays
          EXPECT_LE(piece.size(), utf16 ? 1028u : 1026u) << name;
        }
        ASSERT_EQ(piece.substr(0, mark.size()), mark) << name;
        piece.erase(0, mark.size());
        if (utf16) {
          EXPECT_TRUE(TextCodec::Convert(piece, output, Encoding::Utf8).has_value()) << name;
        } else {
          bool cutOff = false;
          EXPECT_EQ(TextRules::For(output).ValidPrefix(piece.data(), piece.size(), cutOff),
                    piece.size())
              << name;
        }
        joined += piece;
      }
      EXPECT_TRUE(joined == Encode(c.utf8, output));
    }
  }
}

TEST_F(EncodingSplit, TextThePiecesCannotHoldIsRefusedBeforeAnythingIsWritten) {
  struct Case {
    Encoding source;
    void (*set)(SplitOptions&);
    const char* named;
  };
  const std::vector<Case> cases = {
      {Encoding::Big5,
       [](SplitOptions& o) {
         o.addHead = true;
         o.head = "这本书";
       },
       "这"},
      {Encoding::Big5, [](SplitOptions& o) { o.keywords = "第 节"; }, "节"},
      {Encoding::Gbk,
       [](SplitOptions& o) {
         o.addTail = true;
         o.tail = "完😀";
       },
       "😀"},
  };
  for (const Case& c : cases) {
    auto options = Options(Encode(kTraditional, c.source), "src.txt");
    options.encoding = c.source;
    c.set(options);
    RecordingHost host;
    EXPECT_EQ(Split(options, host), SplitOutcome::Refused) << c.named;
    EXPECT_NE(host.Message().find(std::string("“") + c.named + "”"), std::string::npos)
        << host.Message();
    EXPECT_FALSE(std::filesystem::exists(options.newFolder)) << c.named;
  }
}

TEST_F(EncodingSplit, Utf16WithoutAMarkIsNeverGuessed) {
  const std::string bytes = Encode(kTraditional, Encoding::Utf16Le);
  auto options = Options(bytes, "src.txt");
  RecordingHost refused;
  EXPECT_EQ(Split(options, refused), SplitOutcome::Refused);
  EXPECT_NE(refused.Message().find("-e utf-16le"), std::string::npos);
  EXPECT_NE(refused.Message().find("-e utf-16be"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(options.newFolder));
  options.encoding = Encoding::Utf16Le;
  RecordingHost chosen;
  ASSERT_EQ(Split(options, chosen), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(options.newFolder).size(), 3u);
}

TEST_F(EncodingSplit, AStrayByteIsReportedWithItsOffsetAndKeptOnlyWhenNothingIsConverted) {
  const std::string bytes =
      "第一章\r\nab\xFF"
      "cd\r\n第二章\r\n";  // 0xFF at byte 13
  struct Case {
    Encoding output;
    std::string written;
    std::string warning;
  };
  for (const Case& c :
       {Case{Encoding::Auto,
             "ab\xFF"
             "cd",
             Message{MessageId::InvalidInSource, {"13", "UTF-8"}}.Text()},
        Case{Encoding::Gbk, "ab?cd",
             Message{MessageId::ReplacedInSource, {"13", "UTF-8", "“?”"}}.Text()}}) {
    auto options = Options(bytes, std::string("src-") + std::string(Encodings::Name(c.output)));
    options.encoding = Encoding::Utf8;
    options.outEncoding = c.output;
    options.keywords = "第 章";
    RecordingHost host;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_EQ(host.warnings[0], c.warning);
    EXPECT_NE(JoinPieces(options.newFolder).find(c.written), std::string::npos);
    EXPECT_EQ(ListDir(options.newFolder).size(), 2u);
  }
}

TEST_F(EncodingSplit, LongLinesReadInPartsGiveTheSamePiecesInEveryEncoding) {
  // Long lines with full-width spaces inside and at their ends; read 16 bytes at a time.
  std::string line;
  for (int i = 0; i < 6; ++i) line += "　　話說天下大勢，分久必合　";
  const std::string book = "第一回\r\n" + line + "\r\n第二回　　\r\n" + line + line + "　 \r\nx";
  struct Case {
    Encoding source;
    bool mark;
    Encoding to;
  };
  for (const Case c :
       {Case{Encoding::Utf8, false, Encoding::Auto}, Case{Encoding::Utf8, true, Encoding::Auto},
        Case{Encoding::Big5, false, Encoding::Auto}, Case{Encoding::Gb18030, false, Encoding::Auto},
        Case{Encoding::Utf8, false, Encoding::Gbk},
        Case{Encoding::Gbk, false, Encoding::Utf16Le}}) {
    for (const int mode : {0, 1, 2}) {
      std::vector<std::string> results;
      for (const std::size_t partLimit : {std::size_t{1} << 20, std::size_t{16}}) {
        auto options = Options(Encode(book, c.source, c.mark), "src.txt");
        options.encoding = c.source;
        options.outEncoding = c.to;
        options.mode = static_cast<SplitMode>(mode);
        options.parts = 3;
        options.keepLines = mode == 1;
        options.trimSpaces = true;
        RecordingHost host;
        SplitRun run(options, host);
        run.SetPartLimit(partLimit);
        run.SetSizeLimitBytes(0);  // every line a piece of its own, moved whole
        ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
        std::string all;
        for (const auto& name : ListDir(options.newFolder)) {
          all += name + ":" + ReadFile(options.newFolder + "/" + name) + "|";
        }
        results.push_back(all);
        std::filesystem::remove_all(options.newFolder);
      }
      EXPECT_TRUE(results[0] == results[1])
          << Encodings::Name(c.source) << " to " << Encodings::Name(c.to) << " mode " << mode;
    }
  }
}

TEST(EncodingDetector, ReadsMarksValidUtf8AndPrefersGbkOnThinEvidence) {
  const std::string gbkNovel = ReadFile(CorpusNovel());
  const std::string big5Long = Encode(Repeat(kTraditional, 3), Encoding::Big5);
  struct Case {
    const char* what;
    std::string bytes;
    Encoding expected;
    std::size_t mark;
  };
  const std::vector<Case> cases = {
      {"ASCII", "Chapter 1\r\n", Encoding::Gbk, 0},
      {"short GBK", Encode("第一章 开端", Encoding::Gbk), Encoding::Gbk, 0},
      {"long GBK", gbkNovel, Encoding::Gbk, 0},
      {"short UTF-8", "第一章", Encoding::Utf8, 0},
      {"long UTF-8", *TextCodec::Convert(gbkNovel, Encoding::Gbk, Encoding::Utf8), Encoding::Utf8,
       0},
      {"UTF-8 with a mark", Encode("第一章", Encoding::Utf8, true), Encoding::Utf8, 3},
      {"UTF-16LE with a mark", Encode(kTraditional, Encoding::Utf16Le, true), Encoding::Utf16Le, 2},
      {"UTF-16BE with a mark", Encode("第一章", Encoding::Utf16Be, true), Encoding::Utf16Be, 2},
      {"short Big5, valid GBK too", Encode("第一回　宴桃園豪傑三結義", Encoding::Big5),
       Encoding::Gbk, 0},
      {"long Big5", big5Long, Encoding::Big5, 0},
      {"GB18030 with four-byte characters", Encode("第一章 𠀀𠀁", Encoding::Gb18030),
       Encoding::Gb18030, 0},
      {"GBK with digits after Chinese", Encode(Repeat("第1章 第２回 3卷", 9), Encoding::Gbk),
       Encoding::Gbk, 0},
      {"one four-byte character deep in a long book",
       gbkNovel.substr(0, gbkNovel.find('\n', 300000) + 1) + Encode("𠀀", Encoding::Gb18030),
       Encoding::Gb18030, 0},
  };
  for (const Case& c : cases) {
    const Detection found = EncodingDetector::Detect(c.bytes, true);
    EXPECT_EQ(found.encoding, c.expected) << c.what;
    EXPECT_EQ(found.markBytes, c.mark) << c.what;
    EXPECT_FALSE(found.unmarkedUtf16) << c.what;
  }
  // A prefix may end inside a UTF-8 character.
  const std::string cut = std::string("第一章") + "\xE7\xAB";
  EXPECT_EQ(EncodingDetector::Detect(cut, false).encoding, Encoding::Utf8);
  EXPECT_TRUE(
      EncodingDetector::Detect(Encode("第一章\r\nabc", Encoding::Utf16Be), true).unmarkedUtf16);
  // Long Chinese paragraphs hold a NUL only in their line breaks.
  std::string chinese;
  for (int i = 0; i < 1000; ++i) chinese += "說";
  EXPECT_TRUE(EncodingDetector::Detect(Encode(Repeat(chinese, 40), Encoding::Utf16Le), false)
                  .unmarkedUtf16);
}

TEST(EncodingDetector, APlainAsciiPrefixIsJudgedByTheBytesAfterIt) {
  std::string english;
  while (english.size() < EncodingDetector::kPrefixBytes + 4096) english += "Chapter one.\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    Encoding expected;
  };
  const std::vector<Case> cases = {
      {"UTF-8 after a megabyte of ASCII", english + Repeat("第一章 天下大勢", 50), Encoding::Utf8},
      {"GBK after a megabyte of ASCII",
       english + Encode(Repeat("第一章 天下大势", 50), Encoding::Gbk), Encoding::Gbk},
      {"ASCII throughout", english + english, Encoding::Gbk},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteFile(dir / "src.txt", c.bytes);
    std::string error;
    const auto found = EncodingDetector::DetectFile(dir / "src.txt", error);
    ASSERT_TRUE(found.has_value()) << error;
    EXPECT_EQ(found->encoding, c.expected) << c.what;
    EXPECT_EQ(found->markBytes, 0u) << c.what;
  }
}

TEST(TextRules, CharactersMeasureAndCleanAlikeInEveryEncoding) {
  for (const Encoding encoding :
       {Encoding::Gbk, Encoding::Gb18030, Encoding::Big5, Encoding::Utf8}) {
    SCOPED_TRACE(Encodings::Name(encoding));
    const TextRules& rules = TextRules::For(encoding);
    // A title limit counts Chinese characters as GBK does: 第一章 ab is 9.
    const std::string title = Encode("第一章 ab", encoding);
    EXPECT_TRUE(rules.FitsTitle(title, 9));
    EXPECT_FALSE(rules.FitsTitle(title, 8));
    // U+3000 becomes two ASCII spaces; a cut never splits a character.
    std::string line = Encode("　　說　", encoding);
    line.resize(rules.WidenFullWidthSpaces(line.data(), line.size()));
    EXPECT_EQ(line, "    " + Encode("說", encoding) + "  ");
    EXPECT_EQ(rules.RemoveFullWidthSpaces(Encode("　第一回　甲", encoding)),
              Encode("第一回甲", encoding));
    const std::string mixed = Encode("a說b", encoding);
    const std::size_t wide = mixed.size() - 2;  // bytes of 說
    EXPECT_EQ(rules.BoundaryAtOrBelow(mixed, wide), 1u);
    EXPECT_EQ(rules.BoundaryAtOrBelow(mixed, wide + 1), wide + 1);
  }
  // A match begins only where a character begins: in Big5 "功" is A5 5C, whose trail byte is
  // a backslash; in GB18030 a four-byte character holds ASCII digits.
  EXPECT_EQ(TextRules::For(Encoding::Big5).Find(Encode("功", Encoding::Big5), "\\", 0),
            TextRules::npos);
  const std::string four = Encode("𠀀1", Encoding::Gb18030);
  EXPECT_EQ(TextRules::For(Encoding::Gb18030).Find(four, "1", 0), 4u);
  EXPECT_EQ(TextRules::For(Encoding::Gb18030).BoundaryAtOrBelow(four, 3), 0u);
  // Written as UTF-16, UTF-8 text counts two bytes a character and four for a line break.
  const TextRules& wide = TextRules::For(Encoding::Utf8, Encoding::Utf16Le);
  EXPECT_EQ(wide.Written("第a𠀀"), 2 + 2 + 4);
  EXPECT_EQ(wide.FitAtOrBelow("第a第", 5), 4u);
  EXPECT_EQ(wide.BreakBytes(), 4);
}

TEST(TextRules, Utf8ValidityAgreesWithIconvAcrossBlockAndSpanEdges) {
  // Mostly text, now and then a fault, so faults land anywhere in the 32-byte blocks and
  // 1 KB spans the check works in.
  const std::vector<std::string> good = {"a", "\r\n", "é", "第", "　", "，", "😀", "\xEF\xBF\xBD"};
  const std::vector<std::string> bad = {"\x80",         "\xC0\xAF",         "\xE0\x80\x80",
                                        "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF",
                                        "\xE7\xAC",     "\xF0\x9F\x98"};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 1500);
    const bool faulty = round % 4 != 0;
    while (static_cast<int>(text.size()) < length) {
      text +=
          faulty && random() % 400 == 0 ? bad[random() % bad.size()] : good[random() % good.size()];
    }
    std::string converted;
    const std::size_t expected =
        TextCodec::ConvertPrefix(text, Encoding::Utf8, Encoding::Utf16Le, converted);
    bool cutOff = false;
    ASSERT_EQ(TextRules::For(Encoding::Utf8).ValidPrefix(text.data(), text.size(), cutOff),
              expected)
        << "round " << round;
  }
}

TEST(TableTranscoder, EveryCharacterTheTableHoldsIsConvertedAsIconvsGb18030Does) {
  // A character the table holds gives the bytes of iconv's GB18030, for GBK too: GBK is read
  // and written as GB18030's two-byte codes, so the euro sign is A2 E3, not iconv's 80.
  const auto iconv = [](const std::string& character, const char* from, const char* to) {
    const IconvHandle converter(to, from);
    char bytes[8];
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char* out = bytes;
    std::size_t outLeft = sizeof bytes;
    const std::size_t rc = converter.Convert(in, inLeft, out, outLeft);
    return rc == static_cast<std::size_t>(-1) ? std::string("?") : std::string(bytes, out);
  };
  const auto check = [&](const TableTranscoder* table, const char* from, const char* to,
                         const std::string& character) {
    const char* in = character.data();
    std::size_t inLeft = character.size();
    char bytes[8];
    char* out = bytes;
    std::size_t outLeft = sizeof bytes;
    table->Convert(in, inLeft, out, outLeft);
    if (inLeft != 0) return 0;
    EXPECT_EQ(std::string(bytes, out), iconv(character, from, to)) << from << " → " << to;
    return 1;
  };
  for (const Encoding gb : {Encoding::Gbk, Encoding::Gb18030}) {
    int held = 0;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
      if (cp < 0xD800 || cp > 0xDFFF) {
        std::string utf8;
        if (cp < 0x800) {
          utf8 = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
          utf8 = {static_cast<char>(0xE0 | (cp >> 12)),
                  static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (cp & 0x3F))};
        }
        held += check(TableTranscoder::FromUtf8(gb), "UTF-8", "GB18030", utf8);
      }
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFF; ++trail) {
        held += check(TableTranscoder::ToUtf8(gb), "GB18030", "UTF-8",
                      {static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
    // Every two-byte code both ways, but for six whose characters lie beyond U+FFFF, which
    // are iconv's.
    EXPECT_EQ(held, 2 * (23940 - 6));
  }
}

}  // namespace
}  // namespace sekato::engine
