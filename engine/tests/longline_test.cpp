#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <utility>

#include "sekato/numberparse.h"
#include "sekato/splitrun.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;

std::vector<std::pair<std::string, std::string>> Pieces(const std::string& dir) {
  std::vector<std::pair<std::string, std::string>> pieces;
  for (const auto& name : ListDir(dir)) pieces.emplace_back(name, ReadFile(dir + "/" + name));
  return pieces;
}

// src.txt of `dir` split by size (40 KB, blanks cleaned) with its lines read in parts of
// `partLimit` bytes (0: every line whole): the pieces joined, and the largest line buffer.
struct Cleaned {
  std::string pieces;
  std::size_t buffer;
};
Cleaned CleanedBySize(const TempDir& dir, Encoding encoding, bool keepLines, std::size_t partLimit,
                      Encoding to = Encoding::Auto, const char* kb = "40") {
  auto options = OptionsFor(dir / "src.txt", dir / "out");
  options.encoding = encoding;
  options.outEncoding = to;
  options.mode = SplitMode::BySize;
  options.maxKb = ParseNumber(kb);
  options.keepLines = keepLines;
  options.trimSpaces = true;
  RecordingHost host;
  SplitRun run(options, host);
  run.SetPartLimit(partLimit);
  EXPECT_EQ(Execute(run, host), SplitOutcome::Completed);
  Cleaned cleaned{JoinPieces(dir / "out"), run.LargestBuffer()};
  std::filesystem::remove_all(dir / "out");
  return cleaned;
}

// One random book per seed, split in every mode with its lines read whole and in parts.
class ReadInParts : public ::testing::TestWithParam<unsigned> {};

TEST_P(ReadInParts, GiveTheSamePiecesAsReadWhole) {
  TempDir dir;
  struct Mode {
    int split;
    const char* number;
    bool extras;
    bool keep = false;
    bool trim = false;
  };
  const unsigned seed = GetParam();
  WriteFile(dir / "src.txt", RandomBook(seed));
  for (const Mode mode :
       {Mode{0, "1", false}, Mode{0, "2", true}, Mode{1, "1", false}, Mode{1, "2", true},
        Mode{1, "0", false}, Mode{2, "7", false}, Mode{2, "3", true}, Mode{1, "1", false, true},
        Mode{1, "2", true, true, true}, Mode{1, "0", false, true, true},
        Mode{0, "1", true, false, true}, Mode{2, "3", false, false, true}}) {
    std::vector<std::vector<std::pair<std::string, std::string>>> results;
    for (const std::size_t partLimit : {std::size_t{1} << 20, std::size_t{16}, std::size_t{5}}) {
      const std::string out = dir / ("out" + std::to_string(partLimit));
      auto options = OptionsFor(dir / "src.txt", out);
      options.mode = static_cast<SplitMode>(mode.split);
      options.titleMax = 2;  // headings of up to 4 bytes: 第1章 is 5, so none…
      if (mode.split == 0) options.titleMax = 6;  // …here 12 bytes, below 16 / 2
      options.keywords = G("第 章");
      options.chaptersPerPiece = options.maxKb = options.parts = ParseNumber(mode.number);
      // Size 0 is refused from the options; the run still cuts after every line with it.
      const std::int64_t sizeLimit = options.maxKb == 0 ? 0 : -1;
      if (options.maxKb == 0) options.maxKb = 1;
      options.naming = mode.split == 0 ? PieceNaming::ChapterTitle : PieceNaming::SourceTitle;
      options.keepLines = mode.keep;
      options.trimSpaces = mode.trim;
      if (mode.extras) {
        options.addHead = options.addTail = true;
        options.head = "HEAD";
        options.tail = "TAIL";
        options.noPromotion = false;
      }
      RecordingHost host;
      SplitRun run(options, host);
      run.SetPartLimit(partLimit);
      run.SetSizeLimitBytes(sizeLimit);
      ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
      results.push_back(Pieces(out));
      std::filesystem::remove_all(out);
    }
    ASSERT_TRUE(results[0] == results[1])
        << "seed " << seed << " mode " << mode.split << " " << mode.number;
    // Parts of 5 bytes are shorter than a heading: chapter mode takes such lines as text.
    ASSERT_TRUE(mode.split == 0 || results[0] == results[2])
        << "seed " << seed << " mode " << mode.split << " " << mode.number;
  }
}

INSTANTIATE_TEST_SUITE_P(LongLines, ReadInParts, ::testing::Range(1u, 7u),
                         [](const auto& info) { return "Seed" + std::to_string(info.param); });

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

TEST(LongLines, EvenModeAllowanceStillKeepsALongLineWholeInParts) {
  // 10 + 60 bytes in two lines, two parts, tail "TT" and the promotional line: limit 57,
  // allowance 18. The second line ends at 72, past the limit but within the allowance, so it
  // stays whole in piece 001, also when it is read eight bytes at a time.
  test::TempDir dir;
  test::WriteFile(dir / "src.txt", std::string(10, 'a') + "\r\n" + std::string(60, 'b') + "\r\n");
  auto options = test::OptionsFor(dir / "src.txt", dir / "out");
  options.mode = SplitMode::Evenly;
  options.parts = 2;
  options.addTail = true;
  options.tail = "TT";
  options.noPromotion = false;
  test::RecordingHost host;
  SplitRun run(options, host);
  run.SetPartLimit(8);
  ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
  ASSERT_EQ(test::ListDir(dir / "out").size(), 1u);
  EXPECT_EQ(test::ReadFile(dir / "out/src_001.txt").substr(0, 72),
            std::string(10, 'a') + "\r\n" + std::string(60, 'b'));
}

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

TEST(LongLines, CleanUpTrimsTrailingBlanksOfAnyLengthAndMixReadInParts) {
  // Blanks alternate tens of thousands of times, inside the line and at its end.
  std::string mixed;
  for (int i = 0; i < 20000; ++i) mixed += i % 3 == 0 ? test::G("　") : (i % 2 ? " " : "\t");
  const std::string book = "text" + mixed + "more" + mixed + "\r\n" + mixed + "\r\nlast" + mixed;
  test::TempDir dir;
  test::WriteFile(dir / "src.txt", book);
  for (const bool keepLines : {false, true}) {
    EXPECT_TRUE(CleanedBySize(dir, Encoding::Auto, keepLines, std::size_t{1} << 20).pieces ==
                CleanedBySize(dir, Encoding::Auto, keepLines, 64).pieces)
        << keepLines;
  }
}

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

// A source encoding and the pieces' encoding (Auto: as the source).
using EncodingPair = std::pair<Encoding, Encoding>;

std::string EncodingPairName(const ::testing::TestParamInfo<EncodingPair>& info) {
  std::string name = std::string(Encodings::Name(info.param.first)) + "To" +
                     std::string(Encodings::Name(info.param.second));
  std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  return name;
}

class CleanUpInParts : public ::testing::TestWithParam<EncodingPair> {};

TEST_P(CleanUpInParts, KeepsLongLinesAsReadWhole) {
  // Full-width spaces are three bytes in UTF-8 and other bytes in Big5: cleaned, they become
  // two spaces, so a part's bytes are no longer its text's. Lines far longer than the
  // reader's buffer, blanks of every kind inside and at the end of them. UTF-16 sources and
  // other pieces' encodings are converted as they are read or written.
  std::string mixed;
  for (int i = 0; i < 3000; ++i) mixed += i % 3 == 0 ? "　" : (i % 2 ? " " : "\t");
  std::string words;
  for (int i = 0; i < 150000; ++i) words += i % 7 ? "說話" : "　a ";
  const std::string book =
      "text" + mixed + words + mixed + "\r\n" + mixed + "\r\nlast" + words + mixed + "\r\n" + mixed;
  test::TempDir dir;
  const auto [encoding, to] = GetParam();
  // Auto here: UTF-8 with a byte-order mark, which the pieces get too.
  const Encoding text = encoding == Encoding::Auto ? Encoding::Utf8 : encoding;
  const std::string mark(encoding == Encoding::Auto || Encodings::IsUtf16(encoding)
                             ? Encodings::ByteOrderMark(text)
                             : "");
  test::WriteFile(dir / "src.txt", mark + *TextCodec::Convert(book, Encoding::Utf8, text));
  // 1500 KB: each long line is measured to its end, far past what the reader holds.
  for (const auto& [keepLines, kb] :
       {std::pair<bool, const char*>{false, "40"}, {true, "40"}, {true, "1500"}}) {
    SCOPED_TRACE(std::string(Encodings::Name(text)) + (mark.empty() ? "" : " marked") + " to " +
                 std::string(Encodings::Name(to)) + (keepLines ? " keep-lines " : " ") + kb);
    const Cleaned whole = CleanedBySize(dir, encoding, keepLines, 0, to, kb);
    const Cleaned parts = CleanedBySize(dir, encoding, keepLines, std::size_t{1} << 16, to, kb);
    EXPECT_TRUE(whole.pieces == parts.pieces &&
                whole.pieces == CleanedBySize(dir, encoding, keepLines, 61, to, kb).pieces);
    EXPECT_GT(whole.buffer, parts.buffer);          // held whole, the lines grew the buffer…
    EXPECT_LE(parts.buffer, std::size_t{1} << 18);  // …in parts, never
  }
}

INSTANTIATE_TEST_SUITE_P(LongLines, CleanUpInParts,
                         ::testing::Values(EncodingPair{Encoding::Utf8, Encoding::Auto},
                                           EncodingPair{Encoding::Big5, Encoding::Auto},
                                           EncodingPair{Encoding::Auto, Encoding::Auto},
                                           EncodingPair{Encoding::Utf16Le, Encoding::Auto},
                                           EncodingPair{Encoding::Utf16Be, Encoding::Utf8},
                                           EncodingPair{Encoding::Utf8, Encoding::Gb18030},
                                           EncodingPair{Encoding::Utf8, Encoding::Utf16Le}),
                         EncodingPairName);

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

// Random lines of UTF-8 up to thousands of characters, mostly Chinese (so UTF-8 and UTF-16
// measure them differently), blanks of every kind inside and at their ends; "𠀀" (four bytes
// in UTF-8 and in UTF-16) unless the book must fit GBK.
std::string RandomUtf8Book(unsigned seed, bool gbk) {
  const std::vector<std::string> atoms = {"中文", "天下大勢", "a",  " ",     "\t",
                                          "\r",   "第1章",    "　", "　　 ", gbk ? "說" : "𠀀"};
  std::string text;
  for (int line = 0; line < 60; ++line) {
    seed = seed * 1103515245u + 12345u;
    const unsigned length = (seed >> 16) % 4 ? (seed >> 8) % 40 : (seed >> 4) % 3000;
    for (unsigned i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += atoms[(seed >> 16) % atoms.size()];
    }
    text += (seed & 1) ? "\r\n" : "\n";
  }
  return text;
}

// A seed for the random book, and the source's and the pieces' encodings.
class ConvertedInParts : public ::testing::TestWithParam<std::tuple<unsigned, EncodingPair>> {};

TEST_P(ConvertedInParts, GivesThePiecesOfLinesHeldWhole) {
  struct Mode {
    SplitMode split;
    bool keep;
    bool trim;
    const char* number;
  };
  test::TempDir dir;
  const unsigned seed = std::get<0>(GetParam());
  const auto [source, to] = std::get<1>(GetParam());
  const std::string book = RandomUtf8Book(seed, to == Encoding::Gbk);
  test::WriteFile(dir / "src.txt", std::string(Encodings::ByteOrderMark(source)) +
                                       *TextCodec::Convert(book, Encoding::Utf8, source));
  for (const Mode mode :
       {Mode{SplitMode::BySize, true, true, "2"}, Mode{SplitMode::BySize, true, false, "3"},
        Mode{SplitMode::BySize, false, true, "1"}, Mode{SplitMode::ByChapter, false, true, "1"},
        Mode{SplitMode::Evenly, false, true, "4"}}) {
    std::vector<std::vector<std::pair<std::string, std::string>>> results;
    for (const std::size_t partLimit : {std::size_t{0}, std::size_t{16}, std::size_t{5}}) {
      auto options = test::OptionsFor(dir / "src.txt", dir / "out");
      options.encoding = source;
      options.outEncoding = to;
      options.mode = mode.split;
      options.keepLines = mode.keep;
      options.trimSpaces = mode.trim;
      options.maxKb = options.parts = options.titleMax = ParseNumber(mode.number);
      test::RecordingHost host;
      SplitRun run(options, host);
      run.SetPartLimit(partLimit);  // 0: every line held whole, as the oracle
      ASSERT_EQ(Execute(run, host), SplitOutcome::Completed);
      results.push_back(Pieces(dir / "out"));
      std::filesystem::remove_all(dir / "out");
    }
    EXPECT_TRUE(results[0] == results[1] && results[0] == results[2])
        << "seed " << seed << " " << Encodings::Name(source) << " to " << Encodings::Name(to)
        << " mode " << static_cast<int>(mode.split) << mode.keep << mode.trim;
  }
}

INSTANTIATE_TEST_SUITE_P(
    LongLines, ConvertedInParts,
    ::testing::Combine(::testing::Values(1u, 2u),
                       ::testing::Values(EncodingPair{Encoding::Utf16Le, Encoding::Auto},
                                         EncodingPair{Encoding::Utf16Be, Encoding::Utf8},
                                         EncodingPair{Encoding::Utf8, Encoding::Gbk},
                                         EncodingPair{Encoding::Utf8, Encoding::Utf16Le},
                                         EncodingPair{Encoding::Utf16Be, Encoding::Gb18030})),
    [](const auto& info) {
      return "Seed" + std::to_string(std::get<0>(info.param)) +
             EncodingPairName({std::get<1>(info.param), info.index});
    });

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

TEST(LongLines, TextReadAheadPastALineIsTakenByTheNextLongLine) {
  // Lines a little longer than the reader's buffer, each with a short one after it: measuring
  // one reads ahead past its end, and the next often starts before all of that is taken.
  std::string book;
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 100000 + 16000 * k; ++i) book += i % 5 ? "中" : "　";
    book += "\r\n";
    for (int i = 0; i < 40; ++i) book += i % 5 ? "文" : " ";
    book += "\r\n";
  }
  test::TempDir dir;
  const std::string utf16 = *TextCodec::Convert(book, Encoding::Utf8, Encoding::Utf16Le);
  test::WriteFile(dir / "src.txt",
                  std::string(Encodings::ByteOrderMark(Encoding::Utf16Le)) + utf16);
  EXPECT_TRUE(CleanedBySize(dir, Encoding::Utf16Le, true, 0, Encoding::Auto, "1000").pieces ==
              CleanedBySize(dir, Encoding::Utf16Le, true, 61, Encoding::Auto, "1000").pieces);
}

}  // namespace
}  // namespace sekato::engine
