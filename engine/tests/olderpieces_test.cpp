#include "sekato/olderpieces.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sekato/sourceclassifier.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
namespace fs = std::filesystem;

using Names = std::vector<std::string>;

// A folder as an earlier split (or the user) left it, and a new size split into it of some
// pieces: what stays behind that the new split did not write.
TEST(OlderPieces, WhatANewSplitLeavesOfAnOlderOne) {
  struct Case {
    const char* what;
    Names before;  // files in the folder before the split
    Names like;    // those that look like this split's pieces
    int pieces;    // pieces of 1 KB the new split writes
    Names left;    // older pieces left standing afterwards
  };
  const Names five = {"src_001.txt", "src_002.txt", "src_003.txt", "src_004.txt", "src_005.txt"};
  const Names unrelated = {"notes.txt",       "other_009.txt", "src_09.txt",
                           "src_009.txt.bak", "src_0009.txt",  "src_000.txt"};
  const std::vector<Case> cases = {
      {"empty folder", {}, {}, 3, {}},
      {"older pieces, fewer new", five, five, 3, {"src_004.txt", "src_005.txt"}},
      {"older pieces, as many new", five, five, 5, {}},
      {"older pieces, more new", five, five, 7, {}},
      {"unrelated files only", unrelated, {}, 2, {}},
      {"older pieces beside unrelated files",
       {"src_003.txt", "SRC_004.TXT", "notes.txt"},
       {"SRC_004.TXT", "src_003.txt"},
       3,
       {"SRC_004.TXT"}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    fs::create_directory(dir / "out");
    for (const auto& name : c.before) WriteFile(dir / "out" + "/" + name, "old");
    // Lines of 1023 bytes and a line break: one line a piece of 1 KB.
    std::string text;
    for (int i = 0; i < c.pieces; ++i) text += std::string(1022, 'a') + "\r\n";
    WriteFile(dir / "src.txt", text);
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    options.mode = SplitMode::BySize;
    options.maxKb = 1;
    // Before the split nothing is known of its length: every piece-like name counts.
    EXPECT_EQ(OlderPieces::Find(options, 0), c.like) << c.what;

    RecordingHost host;
    ASSERT_EQ(Split(options, host), SplitOutcome::Completed) << c.what;
    ASSERT_EQ(host.tally.pieces, c.pieces) << c.what;
    EXPECT_EQ(OlderPieces::Find(options, host.tally.pieces), c.left) << c.what;
    EXPECT_EQ(OlderPieces::Kept(c.like, options, host.tally.pieces), c.left) << c.what;

    std::string error;
    ASSERT_TRUE(OlderPieces::Remove(dir / "out", c.left, error)) << error;
    EXPECT_EQ(OlderPieces::Find(options, host.tally.pieces), Names{}) << c.what;
    // Unrelated files and the new pieces stay.
    for (const auto& name : c.before) {
      if (!std::count(c.like.begin(), c.like.end(), name)) {
        EXPECT_TRUE(fs::exists(dir / "out" + "/" + name)) << c.what << ": " << name;
      }
    }
    EXPECT_TRUE(fs::exists(dir / "out/src_001.txt")) << c.what;
  }
}

// Under chapter-title names a title name already taken is never replaced, so every older
// title-named piece stays; links and folders are never counted.
TEST(OlderPieces, TitleNamesAndThingsThatAreNoPieces) {
  TempDir dir;
  fs::create_directory(dir / "out");
  for (const char* name : {"001_第一章.txt", "1000_尾声.TXT", "0001_x.txt", "01_x.txt", "001_.txt",
                           "src_002.txt", "readme.txt"}) {
    WriteFile(dir / "out/" + name, "old");
  }
  fs::create_directory(dir / "out/src_007.txt");
  fs::create_symlink("readme.txt", dir.Path() / "out/src_008.txt");
  auto options = OptionsFor(dir / "src.txt", dir / "out");
  options.naming = PieceNaming::ChapterTitle;
  EXPECT_EQ(OlderPieces::Find(options, 1),
            (Names{"001_第一章.txt", "1000_尾声.TXT", "src_002.txt"}));
  EXPECT_EQ(OlderPieces::Kept({"001_第一章.txt", "src_001.txt", "src_002.txt"}, options, 1),
            (Names{"001_第一章.txt", "src_002.txt"}));
  options.naming = PieceNaming::SourceTitle;
  EXPECT_EQ(OlderPieces::Find(options, 1), Names{"src_002.txt"});
  options.newFolder = dir / "missing";
  EXPECT_EQ(OlderPieces::Find(options, 0), Names{});
}

// Empty, picture, UTF-16 without a mark, GBK and the other signatures.
TEST(SourceClassifier, TellsTextFromOtherFiles) {
  using Kind = SourceClassifier::Kind;
  struct Case {
    const char* what;
    std::string bytes;
    Kind kind;
  };
  // Runs of NULs, as in the tables of a binary file.
  std::string scattered(4096, 'x');
  for (std::size_t i = 0; i + 4 < scattered.size(); i += 37) scattered.replace(i, 4, 4, '\0');
  // UTF-16 of Chinese has NULs on both sides of its pairs (一 is "\0\x4E"), never two in one.
  std::string chinese16;
  for (int i = 0; i < 100; ++i) chinese16 += std::string("\0\x4E\x2C\x7B\r\0\n\0", 8);
  std::string utf16;
  for (const char c : std::string("Chapter 1\r\nIt was a dark night.\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  std::string fewNuls(100000, 'x');
  fewNuls[10] = fewNuls[5001] = '\0';
  const std::vector<Case> cases = {
      {"empty", "", Kind::Empty},
      {"PNG", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), Kind::NotText},
      {"JPEG", "\xFF\xD8\xFF\xE0 JFIF", Kind::NotText},
      {"GIF", "GIF89a....", Kind::NotText},
      {"PDF", "%PDF-1.7\n", Kind::NotText},
      {"ZIP", std::string("PK\x03\x04\x14\0", 6), Kind::NotText},
      {"ELF",
       std::string("\x7F"
                   "ELF\x02\x01\x01\0",
                   8),
       Kind::NotText},
      {"runs of NULs", scattered, Kind::NotText},
      {"UTF-16 without a mark", utf16, Kind::Text},
      {"Chinese UTF-16 without a mark", chinese16, Kind::Text},
      {"UTF-16 with a mark and NULs anywhere", "\xFF\xFE" + scattered, Kind::Text},
      {"GBK", G("第一章 开端\r\n正文。\r\n"), Kind::Text},
      {"two stray NULs in much text", fewNuls, Kind::Text},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SourceClassifier::Classify(c.bytes), c.kind) << c.what;
  }
  TempDir dir;
  WriteFile(dir / "picture.txt", cases[1].bytes);
  EXPECT_EQ(SourceClassifier::OfFile(dir / "picture.txt"), Kind::NotText);
  EXPECT_EQ(SourceClassifier::OfFile(dir / "missing.txt"), Kind::Text);
}

// A picture renamed .txt is refused unless its encoding is named; nothing is made.
TEST(SourceClassifier, ASplitRefusesAPictureUnlessTheEncodingIsChosen) {
  TempDir dir;
  WriteFile(dir / "src.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\0", 20));
  auto options = OptionsFor(dir / "src.txt", dir / "out");
  RecordingHost refused;
  EXPECT_EQ(Split(options, refused), SplitOutcome::Refused);
  EXPECT_EQ(refused.Message(), Message(MessageId::NotText, {dir / "src.txt"}).Text());
  EXPECT_FALSE(fs::exists(dir / "out"));
  options.encoding = Encoding::Gbk;
  RecordingHost split;
  EXPECT_EQ(Split(options, split), SplitOutcome::Completed);
}

}  // namespace
}  // namespace sekato::engine
