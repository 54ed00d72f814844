#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "linerunscanner.h"
#include "sekato/encoding.h"
#include "sekato/splitrun.h"
#include "testsupport.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

using namespace test;

TEST(LineRuns, ScanAgreesWithAPlainLoop) {
  // Every length around the 16-, 32- and 64-byte blocks, from bytes that make bare and
  // CR-led line feeds, blank and full-width line ends, the pair and near misses.
  const std::string alphabet = "\r\n\n\xE7\xAC\xAC a\r\t\x80\x80x";
  const LineRunScanner::Pair pair{0xAC, 0xAC};
  const LineRunScanner::Pair tail{0x80, 0x80};
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r' && c != '\n'); };
  std::mt19937 rng(5);
  // Every blank, and bytes that share the low four bits of one (0x29, 0x8C, 0x1D, 0xA0).
  const std::string blanks = "\v\f\r\t )\x8C\x1D\xA0";
  for (int round = 0; round < 4500; ++round) {
    std::string text;
    const auto length = static_cast<std::size_t>(round % 150);
    const std::string& bytes = round < 3000 ? alphabet : alphabet + blanks;
    for (std::size_t i = 0; i < length; ++i) text += bytes[rng() % bytes.size()];
    const auto* p = round % 2 ? &pair : nullptr;
    const auto* t = round % 4 < 2 ? &tail : nullptr;
    for (std::size_t from = 0; from < length; from += 7) {
      const std::size_t begin = from - std::min<std::size_t>(from, rng() % 4);
      LineRunScanner::Stop expected;
      for (std::size_t i = from; i < length && expected.at == LineRunScanner::npos; ++i) {
        if (text[i] == '\n') {
          if (!(i > begin && text[i - 1] == '\r') ||
              (t && i >= begin + 2 &&
               (blank(text[i - 2]) ||
                (i >= begin + 3 && text.compare(i - 3, 2, "\x80\x80") == 0)))) {
            expected = {i, false};
          }
        }
        if (expected.at == LineRunScanner::npos && p && text.compare(i, 2, "\xAC\xAC") == 0) {
          expected = {i, true};
        }
      }
      for (const auto found :
           {LineRunScanner::FirstStop(text.data(), begin, from, length, p, t),
            LineRunScanner::FirstStopPortable(text.data(), begin, from, length, p, t)}) {
        ASSERT_EQ(found.at, expected.at) << round << " from " << from;
        ASSERT_EQ(found.pair, expected.pair) << round << " from " << from;
      }
    }
  }
}

// A UTF-8 book of a few hundred lines, mostly CR LF: numbered headings (one number now and
// then missing, some too wide), blank lines, short lines holding 第 that are no heading, long lines
// holding 第 and 章, stray CRs, bare line feeds, full-width spaces; at times no last line feed.
std::string RunsBook(unsigned seed) {
  std::mt19937 rng(seed);
  const std::vector<std::string> words = {"中", "文", "第", "章", "a", " ", "　", "说", "\r", "，"};
  std::string text;
  int chapter = 0;
  for (int line = 0; line < 300; ++line) {
    const unsigned kind = rng() % 12;
    if (kind == 0) {
      chapter += rng() % 9 == 0 ? 2 : 1;
      text += (rng() % 2 ? "第" : "　第") + std::to_string(chapter) + "章";
      // Now and then with a gap of full-width spaces too wide for a heading.
      for (int i = rng() % 3 == 0 ? 0 : 30; i < 30; ++i) text += "　";
      text += "回忆";
    } else if (kind == 2) {
      text += "第一次说";
    } else if (kind != 1) {
      const std::size_t count = kind == 3 ? 30 + rng() % 400 : rng() % 40;
      for (std::size_t i = 0; i < count; ++i) text += words[rng() % words.size()];
    }
    text += rng() % 12 == 0 ? "\n" : "\r\n";
  }
  if (seed % 2 == 0) text += "第99章 末";
  return text;
}

TEST(LineRuns, PiecesAreTheSameWithRunsAsLineByLineAndReadAhead) {
  struct Case {
    const char* what;
    std::function<void(SplitOptions&)> set;
  };
  const std::vector<Case> cases = {
      {"chapter", [](SplitOptions&) {}},
      {"chapter by number, three a piece, title names, head",
       [](SplitOptions& o) {
         o.keywords = "第?章";
         o.chaptersPerPiece = 3;
         o.naming = PieceNaming::ChapterTitle;
         o.addHead = true;
         o.head = "头";
       }},
      {"chapter, short titles", [](SplitOptions& o) { o.titleMax = 3; }},
      {"chapter by number, clean-up",
       [](SplitOptions& o) {
         o.keywords = "第?章";
         o.trimSpaces = true;
       }},
      {"size 1, clean-up",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1;
         o.trimSpaces = true;
       }},
      {"size 1",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1;
       }},
      {"size 2, keep-lines, head, tail, promotional line",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 2;
         o.keepLines = true;
         o.addHead = o.addTail = true;
         o.head = "头";
         o.tail = "尾";
         o.noPromotion = false;
       }},
      {"even 7, promotional line",
       [](SplitOptions& o) {
         o.mode = SplitMode::Evenly;
         o.parts = 7;
         o.noPromotion = false;
       }},
  };
  struct Source {
    Encoding encoding;
    bool mark;
  };
  TempDir dir;
  for (unsigned seed = 1; seed <= 2; ++seed) {
    std::string book = RunsBook(seed);
    if (seed == 2) book.insert(book.size() / 2, "\xFF");  // not UTF-8: warned of
    for (const Source source : {Source{Encoding::Gbk, false}, Source{Encoding::Gb18030, false},
                                Source{Encoding::Utf8, false}, Source{Encoding::Utf8, true}}) {
      std::string bytes =
          source.encoding == Encoding::Utf8
              ? book
              : *TextCodec::Convert(RunsBook(seed), Encoding::Utf8, source.encoding);
      if (source.mark) bytes = "\xEF\xBB\xBF" + bytes;
      WriteFile(dir / "src.txt", bytes);
      for (const Case& c : cases) {
        for (const std::size_t partLimit : {std::size_t{1} << 20, std::size_t{64}}) {
          // Line by line; in runs; in runs, read ahead in chunks of 256 bytes.
          std::string results[3];
          std::int64_t polls[3] = {};
          for (const int way : {0, 1, 2}) {
            const bool runs = way > 0;
            auto options = OptionsFor(dir / "src.txt", dir / "out");
            options.textEncoding = Encoding::Utf8;
            options.encoding = source.encoding;
            options.keywords = "第 章";
            c.set(options);
            RecordingHost host;
            options.numerals = Numerals::Series::Ascii;
            SplitRun run(options, host);
            run.SetPartLimit(partLimit);
            run.SetLineRuns(runs);
            if (way == 2) run.SetReadAhead(0, 256);
            std::string& all = results[way];
            ASSERT_EQ(Execute(run, host), SplitOutcome::Completed) << c.what << host.Message();
            all.clear();
            for (const std::string& warning : host.warnings) all += warning;
            for (const auto& name : ListDir(dir / "out")) {
              all += "|" + name + ":" + ReadFile(dir / "out" + "/" + name);
            }
            polls[way] = host.polls;
            std::filesystem::remove_all(dir / "out");
          }
          if (partLimit > 64) {
            EXPECT_LT(polls[true], polls[false]) << c.what << ": no runs";
          }
          EXPECT_TRUE(results[0] == results[1] && results[1] == results[2])
              << c.what << ", seed " << seed << ", " << Encodings::Name(source.encoding)
              << (source.mark ? " with a mark" : "") << ", parts of " << partLimit;
        }
      }
    }
  }
}

}  // namespace
}  // namespace sekato::engine
