// What converted pieces hold: faults in the source become U+FFFD or "?" (or stay as they are
// when nothing is converted), GBK's extra characters survive every conversion, a character
// the pieces cannot hold stops the run only after every line before it, and even mode counts
// the converted text.

#include <gtest/gtest.h>

#include <filesystem>

#include "iconvhandle.h"
#include "sekato/messagecatalogue.h"
#include "sekato/splitrun.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) out += static_cast<char>(v);
  return out;
}

std::string Encode(const std::string& utf8, Encoding to) {
  auto bytes = TextCodec::Convert(utf8, Encoding::Utf8, to);
  if (!bytes) throw std::runtime_error("cannot encode");
  return *bytes;
}

// What the system's iconv makes of `bytes`, as an independent witness.
std::string Iconv(const std::string& bytes, const char* from, const char* to) {
  const IconvHandle converter(to, from);
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* o = out.data();
  std::size_t outLeft = out.size();
  if (converter.Convert(in, inLeft, o, outLeft) == static_cast<std::size_t>(-1)) return "!";
  out.resize(out.size() - outLeft);
  return out;
}

SplitOptions OneFile(const TempDir& dir, const std::string& name, const std::string& bytes) {
  WriteFile(dir / name, bytes);
  auto options = OptionsFor(dir / name, dir / ("out-" + name));
  options.mode = SplitMode::BySize;
  options.maxKb = 1000;
  return options;
}

// ---------------------------------------------------------------------------------------------
// A source with one fault, split into pieces of some encoding.

struct FaultCase {
  const char* what;
  Encoding source;
  std::string before;   ///< UTF-8, written in the source's encoding
  std::string fault;    ///< raw bytes
  std::string after;    ///< UTF-8
  Encoding to;          ///< Auto: the source's own
  std::string written;  ///< the fault's bytes in the pieces; empty: as the fault
  const char* named;    ///< what the warning says was written; null: no warning (the bytes are
                        ///< not even checked)
};

std::ostream& operator<<(std::ostream& out, const FaultCase& c) { return out << c.what; }

class FaultInSource : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultInSource, IsKeptOrReplacedAndNeverShiftsWhatFollows) {
  const FaultCase& c = GetParam();
  const Encoding output = c.to == Encoding::Auto ? c.source : c.to;
  const bool utf16 = Encodings::IsUtf16(output);
  const std::string mark(Encodings::IsUtf16(c.source) ? Encodings::ByteOrderMark(c.source) : "");
  const std::string source =
      mark + Encode(c.before, c.source) + c.fault + Encode(c.after, c.source);
  TempDir dir;
  auto options = OneFile(dir, "src.txt", source);
  options.encoding = c.source;
  options.outEncoding = c.to;
  RecordingHost host;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << host.Message();

  const auto crLf = [](std::string text) {
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
      text.insert(at, "\r");
    }
    return text;
  };
  const std::string expected = (utf16 ? std::string(Encodings::ByteOrderMark(output)) : "") +
                               Encode(crLf(c.before), output) +
                               (c.written.empty() ? c.fault : c.written) +
                               Encode(crLf(c.after), output);
  const std::string piece = ReadFile(options.newFolder + "/src_001.txt");
  EXPECT_TRUE(piece == expected) << "pieces differ";
  if (utf16) {
    EXPECT_EQ(piece.size() % 2, 0u);
  }
  if (c.named == nullptr) {
    EXPECT_TRUE(host.warnings.empty());
    return;
  }
  ASSERT_EQ(host.warnings.size(), 1u);
  const std::string offset = std::to_string(mark.size() + Encode(c.before, c.source).size());
  EXPECT_NE(host.warnings[0].find("第 " + offset + " 字节"), std::string::npos) << host.warnings[0];
  EXPECT_NE(host.warnings[0].find(c.named), std::string::npos) << host.warnings[0];
}

const std::string kLine = "中中中中中中中中中中\n";
const std::string kRest = "中文中文中文中文中文中文中文中文中文中文\n末";
const std::string kFffdUtf8 = "\xEF\xBF\xBD";
const std::string kFffdLe = Bytes({0xFD, 0xFF});
const std::string kFffdBe = Bytes({0xFF, 0xFD});

INSTANTIATE_TEST_SUITE_P(
    Conversion, FaultInSource,
    ::testing::Values(FaultCase{"GbkStrayFfAsItIs", Encoding::Gbk, kLine, "\xFF", kRest,
                                Encoding::Auto, "", nullptr},
                      FaultCase{"GbkStrayFfToUtf16Le", Encoding::Gbk, kLine, "\xFF", kRest,
                                Encoding::Utf16Le, kFffdLe, "U+FFFD"},
                      FaultCase{"GbkStrayFfToUtf8", Encoding::Gbk, kLine, "\xFF", kRest,
                                Encoding::Utf8, kFffdUtf8, "U+FFFD"},
                      FaultCase{"GbkStrayFfToGb18030", Encoding::Gbk, kLine, "\xFF", kRest,
                                Encoding::Gb18030, "\x84\x31\xA4\x37", "U+FFFD"},
                      FaultCase{"GbkLoneLeadToBig5", Encoding::Gbk, "第一回\n", "\x81", "\n話說",
                                Encoding::Big5, "?", "“?”"},
                      FaultCase{"Utf8StrayFfAsItIs", Encoding::Utf8, kLine, "\xFF", kRest,
                                Encoding::Auto, "", "原样保留"},
                      FaultCase{"Utf8StrayFfToGbk", Encoding::Utf8, kLine, "\xFF", kRest,
                                Encoding::Gbk, "?", "“?”"},
                      FaultCase{"Utf8CutInItsLastCharacterToUtf16Le", Encoding::Utf8, kLine + "中",
                                "\xE6\x96", "", Encoding::Utf16Le, kFffdLe, "U+FFFD"},
                      FaultCase{"Utf8SurrogateFormToUtf16Be", Encoding::Utf8, kLine, "\xED\xA0\x80",
                                kRest, Encoding::Utf16Be, kFffdBe + kFffdBe + kFffdBe, "U+FFFD"},
                      FaultCase{"Utf16BeLoneSurrogateAsItIs", Encoding::Utf16Be, "中",
                                Bytes({0xDA, 0xB5}), "中\n中", Encoding::Auto, "", "原样保留"},
                      FaultCase{"Utf16BeLoneSurrogateToUtf8", Encoding::Utf16Be, "中",
                                Bytes({0xDA, 0xB5}), "中\n中", Encoding::Utf8, kFffdUtf8, "U+FFFD"},
                      FaultCase{"Utf16BeLoneSurrogateToUtf16Le", Encoding::Utf16Be, "中",
                                Bytes({0xDA, 0xB5}), "中\n中", Encoding::Utf16Le, kFffdLe,
                                "U+FFFD"},
                      FaultCase{"Utf16LeLowSurrogateFirstToGbk", Encoding::Utf16Le, kLine,
                                Bytes({0x00, 0xDC}), kRest, Encoding::Gbk, "?", "“?”"},
                      FaultCase{"Utf16LeOddLastByteAsItIs", Encoding::Utf16Le, kLine + "末",
                                Bytes({0x4E}), "", Encoding::Auto, kFffdLe, "U+FFFD"},
                      FaultCase{"Big5StrayByteToUtf8", Encoding::Big5, "第一回\n", "\x80", "話說",
                                Encoding::Utf8, kFffdUtf8, "U+FFFD"},
                      FaultCase{"Gb18030BrokenFourBytesToUtf8", Encoding::Gb18030, kLine,
                                "\x81\x30\x81", "\n" + kRest, Encoding::Utf8,
                                kFffdUtf8 + "0" + kFffdUtf8, "U+FFFD"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---------------------------------------------------------------------------------------------
// GBK's own extra characters: the euro sign, the user-defined areas and the codes GB18030
// gave characters later.

struct ExtraCase {
  const char* what;
  std::string gbk;
};

class GbkExtras : public ::testing::TestWithParam<std::tuple<ExtraCase, Encoding>> {};

TEST_P(GbkExtras, ConvertWhereTheTargetHoldsThemAndStopByNameWhereItDoesNot) {
  const auto& [extra, to] = GetParam();
  const std::string unicode = Iconv(extra.gbk, "GB18030", "UTF-8");
  ASSERT_NE(unicode, "!");
  TempDir dir;
  const std::string head = "第一章\n";
  auto options = OneFile(dir, "src.txt", Encode(head, Encoding::Gbk) + extra.gbk + "\n");
  options.encoding = Encoding::Gbk;
  options.outEncoding = to;
  RecordingHost host;
  const SplitOutcome outcome = Split(options, host);
  EXPECT_TRUE(host.warnings.empty()) << host.warnings[0];
  if (to == Encoding::Big5) {  // none of them is in Big5
    ASSERT_EQ(outcome, SplitOutcome::Failed);
    const std::string offset = std::to_string(Encode(head, Encoding::Gbk).size());
    EXPECT_NE(host.Message().find(Message{
                  MessageId::UnwritableInSource,
                  {options.sourcePath, offset, unicode,
                   "Big5"}}.Text()),
              std::string::npos)
        << host.Message();
    EXPECT_EQ(JoinPieces(options.newFolder), Encode("第一章", Encoding::Big5));
    return;
  }
  ASSERT_EQ(outcome, SplitOutcome::Completed) << host.Message();
  std::string piece = ReadFile(options.newFolder + "/src_001.txt");
  if (Encodings::IsUtf16(to)) piece.erase(0, 2);
  const char* name = to == Encoding::Utf16Le   ? "UTF-16LE"
                     : to == Encoding::Utf16Be ? "UTF-16BE"
                                               : Encodings::IconvName(to);
  EXPECT_EQ(Iconv(piece, name, "UTF-8"), "第一章\r\n" + unicode);
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, GbkExtras,
    ::testing::Combine(::testing::Values(ExtraCase{"Euro", "\xA2\xE3"},
                                         ExtraCase{"UserDefinedAAA1", "\xAA\xA1"},
                                         ExtraCase{"UserDefinedF8A1", "\xF8\xA1"},
                                         ExtraCase{"UserDefinedA140", "\xA1\x40"},
                                         ExtraCase{"RadicalFE50", "\xFE\x50"},
                                         ExtraCase{"VerticalA6D9", "\xA6\xD9"}),
                       ::testing::Values(Encoding::Utf8, Encoding::Gb18030, Encoding::Utf16Le,
                                         Encoding::Utf16Be, Encoding::Big5)),
    [](const auto& info) {
      std::string name = std::string(std::get<0>(info.param).what) + "To" +
                         std::string(Encodings::Name(std::get<1>(info.param)));
      name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
      return name;
    });

TEST(GbkRoundTrip, EveryTwoByteCodeComesBackThroughUtf8) {
  std::string all;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) all += Bytes({lead, trail});
    }
    all += "\r\n";
  }
  const auto utf8 = TextCodec::Convert(all, Encoding::Gbk, Encoding::Utf8);
  ASSERT_TRUE(utf8.has_value());
  EXPECT_TRUE(TextCodec::Convert(*utf8, Encoding::Utf8, Encoding::Gbk) == all);
  // And through a split each way.
  TempDir dir;
  auto there = OneFile(dir, "gbk.txt", all);
  there.encoding = Encoding::Gbk;
  there.outEncoding = Encoding::Utf8;
  RecordingHost first;
  ASSERT_EQ(Split(there, first), SplitOutcome::Completed) << first.Message();
  EXPECT_TRUE(first.warnings.empty());
  auto back = OneFile(dir, "utf8.txt", ReadFile(there.newFolder + "/gbk_001.txt"));
  back.encoding = Encoding::Utf8;
  back.outEncoding = Encoding::Gbk;
  RecordingHost second;
  ASSERT_EQ(Split(back, second), SplitOutcome::Completed) << second.Message();
  EXPECT_TRUE(ReadFile(back.newFolder + "/utf8_001.txt") + "\r\n" == all);
}

// ---------------------------------------------------------------------------------------------
// A character the pieces cannot hold.

struct StopCase {
  const char* what;
  Encoding source;
  Encoding to;
  std::string character;  ///< UTF-8; the source's encoding holds it, the pieces' does not
};

std::ostream& operator<<(std::ostream& out, const StopCase& c) { return out << c.what; }

class UnwritableCharacter : public ::testing::TestWithParam<StopCase> {};

TEST_P(UnwritableCharacter, StopsTheRunAfterEveryLineBeforeItAndNamesThePieceCutShort) {
  const StopCase& c = GetParam();
  std::string book;
  // Every character of the book is in every encoding here.
  const std::string line = "第一回 話說天下大勢，分久必合，合久必分。周末七國分爭，并入於秦。\n";
  while (book.size() < 200000) book += line;
  const std::string before = Encode(book + "甲乙", c.source);
  const std::string mark(Encodings::IsUtf16(c.source) ? Encodings::ByteOrderMark(c.source) : "");
  TempDir dir;
  auto options =
      OneFile(dir, "src.txt", mark + before + Encode(c.character + "丙丁\n" + line, c.source));
  options.encoding = c.source;
  options.outEncoding = c.to;
  options.maxKb = 100;
  RecordingHost host;
  ASSERT_EQ(Split(options, host), SplitOutcome::Failed);
  const auto names = ListDir(options.newFolder);
  ASSERT_FALSE(names.empty());
  const std::string offset = std::to_string(mark.size() + before.size());
  // Named as what it is, not as a failure to read.
  EXPECT_EQ(host.Message().find("读取"), std::string::npos) << host.Message();
  EXPECT_NE(host.Message().find(Message{MessageId::UnwritableInSource,
                                        {options.sourcePath, offset, c.character,
                                         std::string(Encodings::DisplayName(c.to))}}
                                    .Text()),
            std::string::npos)
      << host.Message();
  EXPECT_NE(host.Message().find(options.newFolder + "/" + names.back()), std::string::npos)
      << host.Message();
  std::string joined = JoinPieces(options.newFolder);
  if (Encodings::IsUtf16(c.to)) joined = Iconv(joined, Encodings::IconvName(c.to), "UTF-8");
  EXPECT_TRUE(WithoutBreaks(joined) == WithoutBreaks(Encode(book, c.to)));
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, UnwritableCharacter,
    ::testing::Values(StopCase{"EmojiFromUtf8IntoGbk", Encoding::Utf8, Encoding::Gbk, "😀"},
                      StopCase{"EmojiFromUtf16LeIntoGbk", Encoding::Utf16Le, Encoding::Gbk, "😀"},
                      StopCase{"SimplifiedFromGbkIntoBig5", Encoding::Gbk, Encoding::Big5, "这"},
                      StopCase{"RareFromGb18030IntoGbk", Encoding::Gb18030, Encoding::Gbk, "𠀀"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(UnwritableCharacter, AtTheVeryStartLeavesNoEmptyPiece) {
  TempDir dir;
  auto options = OneFile(dir, "src.txt", "😀\n第一章\n");
  options.encoding = Encoding::Utf8;
  options.outEncoding = Encoding::Gbk;
  options.addHead = true;
  options.head = "頭";
  RecordingHost host;
  ASSERT_EQ(Split(options, host), SplitOutcome::Failed);
  EXPECT_TRUE(ListDir(options.newFolder).empty());
  EXPECT_EQ(host.Message().find("在出错处中断"), std::string::npos) << host.Message();
}

// ---------------------------------------------------------------------------------------------
// Even mode counts the text it writes.

class EvenConverted : public ::testing::TestWithParam<std::tuple<int, Encoding>> {};

TEST_P(EvenConverted, GivesAsManyPiecesAsWithoutConversion) {
  const auto& [parts, to] = GetParam();
  // The first megabyte is plain ASCII, the rest Chinese: no sample of the start tells.
  std::string book;
  while (book.size() < (std::size_t{1} << 20) + 1000) book += "Preface, in English only.\r\n";
  while (book.size() < (std::size_t{2} << 20)) book += "第一章 天下大势，分久必合，合久必分。\r\n";
  const Encoding source = to == Encoding::Gbk ? Encoding::Utf8 : Encoding::Gbk;
  TempDir dir;
  std::size_t counts[2] = {0, 0};
  for (const bool converted : {false, true}) {
    auto options = OneFile(dir, converted ? "to.txt" : "as.txt", Encode(book, source));
    options.encoding = source;
    options.outEncoding = converted ? to : Encoding::Auto;
    options.mode = SplitMode::Evenly;
    options.parts = parts;
    options.noPromotion = false;
    RecordingHost host;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << host.Message();
    counts[converted] = ListDir(options.newFolder).size();
  }
  EXPECT_EQ(counts[0], static_cast<std::size_t>(parts));
  EXPECT_EQ(counts[1], counts[0]);
}

INSTANTIATE_TEST_SUITE_P(Conversion, EvenConverted,
                         ::testing::Combine(::testing::Values(3, 7, 10),
                                            ::testing::Values(Encoding::Utf8, Encoding::Gb18030,
                                                              Encoding::Utf16Le, Encoding::Gbk)),
                         [](const auto& info) {
                           std::string name = std::to_string(std::get<0>(info.param)) + "PartsTo" +
                                              std::string(Encodings::Name(std::get<1>(info.param)));
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

}  // namespace
}  // namespace sekato::engine
