#include "runcleaner.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "cleanupscanner.h"
#include "sekato/textrules.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

// The marks the scanner is to give, position by position.
struct Marks {
  std::set<std::size_t> spaces;
  std::set<std::size_t> emptyLines;
  bool operator==(const Marks&) const = default;
};

Marks ExpectedMarks(const std::string& text, std::size_t from, std::string_view space) {
  Marks marks;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 1 || (i >= 2 && text[i - 2] == '\n'))) {
      marks.emptyLines.insert(i);
    }
    if (!space.empty() && i + 1 >= space.size() &&
        text.compare(i + 1 - space.size(), space.size(), space) == 0) {
      marks.spaces.insert(i);
    }
  }
  return marks;
}

template <typename Collect>
Marks CollectedMarks(const Collect& collect, const std::string& text, std::size_t from,
                     std::string_view space, std::size_t room) {
  Marks marks;
  std::vector<CleanUpScanner::Block> blocks(room);
  while (from < text.size()) {
    std::size_t next = 0;
    const std::size_t count =
        collect(text.data(), from, text.size(), space, blocks.data(), room, next);
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_NE(blocks[i].spaces | blocks[i].emptyLines, 0u);
      for (unsigned bit = 0; bit < 64; ++bit) {
        if ((blocks[i].spaces >> bit) & 1u) marks.spaces.insert(blocks[i].at + bit);
        if ((blocks[i].emptyLines >> bit) & 1u) marks.emptyLines.insert(blocks[i].at + bit);
      }
    }
    EXPECT_GT(next, from);
    from = next;
  }
  return marks;
}

TEST(CleanUpScanner, TellsTheBlocksThatHoldMarks) {
  // A block without marks is left out; the last one, short, is read back from the end.
  const std::string text = "\r\nxx\r\n\r\n" + std::string(120, 'a') + "xx";
  CleanUpScanner::Block blocks[4];
  std::size_t next = 0;
  ASSERT_EQ(CleanUpScanner::Collect(text.data(), 0, text.size(), "xx", blocks, 4, next), 2u);
  EXPECT_EQ(next, text.size());
  EXPECT_EQ(blocks[0].at, 0u);
  EXPECT_EQ(blocks[0].spaces, 0b1000u);
  EXPECT_EQ(blocks[0].emptyLines, 0b10000010u);
  EXPECT_EQ(blocks[1].at, 128u);
  EXPECT_EQ(blocks[1].spaces, std::uint64_t{1} << (text.size() - 1 - 128));
  EXPECT_EQ(blocks[1].emptyLines, 0u);
  // With room for one block, the scan stops after it, and goes on from there.
  ASSERT_EQ(CleanUpScanner::Collect(text.data(), 1, text.size(), "xx", blocks, 1, next), 1u);
  EXPECT_EQ(next, 65u);
  EXPECT_EQ(blocks[0].emptyLines, 0b1000001u);
}

TEST(CleanUpScanner, MarksAgreeWithAPlainLoop) {
  // Every length around the 16-, 32- and 64-byte blocks, from bytes that make empty lines,
  // the two- and three-byte spaces and their near misses.
  const std::string alphabet = "\r\n\r\n\xA1\xA1\xE3\x80\x80 a";
  const std::string_view spaces[] = {"", "\xA1\xA1", "\xE3\x80\x80"};
  std::mt19937 rng(7);
  for (int round = 0; round < 1500; ++round) {
    std::string text;
    const auto length = static_cast<std::size_t>(round % 300);
    for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
    const std::string_view space = spaces[round % 3];
    for (std::size_t from = 0; from < length; from += 1 + rng() % 40) {
      const Marks expected = ExpectedMarks(text, from, space);
      for (const std::size_t room : {std::size_t{1}, std::size_t{3}, std::size_t{32}}) {
        ASSERT_EQ(CollectedMarks(CleanUpScanner::Collect, text, from, space, room), expected)
            << round << " from " << from << " room " << room;
        ASSERT_EQ(CollectedMarks(CleanUpScanner::CollectPortable, text, from, space, room),
                  expected)
            << round << " from " << from << " room " << room;
      }
    }
  }
}

// What clean-up makes of a run, line by line: every full-width space widened (walking the
// characters of its line), the empty lines left out, the others joined by CR LF again.
std::string LineByLine(const TextRules& rules, const std::string& run) {
  std::string kept;
  std::size_t start = 0;
  while (start <= run.size()) {
    std::size_t end = run.find("\r\n", start);
    if (end == std::string::npos) end = run.size();
    std::string line = run.substr(start, end - start);
    line.resize(rules.WidenFullWidthSpaces(line.data(), line.size()));
    if (!line.empty()) kept += (kept.empty() ? "" : "\r\n") + line;
    start = end + 2;
  }
  return kept;
}

std::string Cleaned(Encoding encoding, std::string run) {
  const RunCleaner cleaner(TextRules::For(encoding));
  run.resize(cleaner.Clean(run.data(), run.size()));
  return run;
}

TEST(RunCleaner, WidensSpacesAndDropsEmptyLines) {
  const std::string sp = G("　");
  struct Case {
    const char* what;
    Encoding encoding;
    std::string run;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {"no empty line", Encoding::Gbk, "a\r\nb", "a\r\nb"},
      {"empty lines close up", Encoding::Gbk, "a\r\n\r\n\r\nb\r\nc", "a\r\nb\r\nc"},
      {"empty first and last lines", Encoding::Gbk, "\r\n\r\na\r\n", "a"},
      {"empty lines only", Encoding::Gbk, "\r\n\r\n", ""},
      {"one empty line", Encoding::Gbk, "", ""},
      {"spaces begin lines", Encoding::Gbk, sp + sp + "a\r\n" + sp + "b", "    a\r\n  b"},
      {"spaces after an empty line, moved", Encoding::Gbk, "a\r\n\r\n" + sp + "b" + sp,
       "a\r\n  b  "},
      {"a space inside a line", Encoding::Gbk, "ab" + sp + "c", "ab  c"},
      // 0xB5 0xA1 is one character: the pair after its lead is no space, the next one is.
      {"a pair across two characters", Encoding::Gbk, "\xB5\xA1\xA1\xA1\xA1", "\xB5\xA1  \xA1"},
      {"a lead byte before the CR", Encoding::Gbk, "\xB5\r\n" + sp + "a", "\xB5\r\n  a"},
      {"a space after a four-byte character", Encoding::Gb18030, "\x81\x30\xA1\x30\xA1\xA1",
       "\x81\x30\xA1\x30  "},
      {"UTF-8 spaces shrink", Encoding::Utf8, "\xE3\x80\x80x\r\n\r\ny\xE3\x80\x80z", "  x\r\ny  z"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cleaned(c.encoding, c.run), c.kept) << c.what;
  }
}

TEST(RunCleaner, AgreesWithCleaningLineByLine) {
  // Runs longer than the blocks the scanner hands out at a time, from lines of GBK lead and
  // trail bytes, spaces, and now and then empty ones.
  const std::vector<std::string> pieces = {"\xA1\xA1", "\xA1",     "\xB5",         "\xDA", "a",
                                           " ",        "\x81\x30", "\xE3\x80\x80", "\x80"};
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::string run;
    const int lines = 1 + static_cast<int>(rng() % 400);
    for (int line = 0; line < lines; ++line) {
      if (line > 0) run += "\r\n";
      if (rng() % 4 == 0) continue;  // empty
      const std::size_t count = rng() % 30;
      for (std::size_t i = 0; i < count; ++i) run += pieces[rng() % pieces.size()];
    }
    for (const Encoding encoding : {Encoding::Gbk, Encoding::Gb18030, Encoding::Utf8}) {
      ASSERT_EQ(Cleaned(encoding, run), LineByLine(TextRules::For(encoding), run))
          << round << " " << Encodings::Name(encoding);
    }
  }
}

}  // namespace
}  // namespace sekato::engine
