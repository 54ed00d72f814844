#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "folderlock.h"
#include "sekato/messagecatalogue.h"
#include "sekato/splitrun.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;
namespace fs = std::filesystem;

TEST(Hardening, TitleNamesNeverTakeTheNameOfAPieceStillToCome) {
  // Name part "002" and titles "001" … "008": piece 2's title name would be 002_003.txt,
  // piece 3's sequence name, and opening piece 3 would empty it.
  TempDir dir;
  std::string book;
  for (int i = 1; i <= 8; ++i) {
    book += "00" + std::to_string(i) + "\r\nbody of chapter " + std::to_string(i) + "\r\n";
  }
  WriteFile(dir / "002.txt", book);
  auto options = OptionsFor(dir / "002.txt", dir / "out");
  options.naming = PieceNaming::ChapterTitle;
  options.chaptersPerPiece = 2;
  options.keywords = "?";
  options.numerals = Numerals::Series::Ascii;
  RecordingHost host;
  ASSERT_EQ(Split(options, host), SplitOutcome::Completed);
  EXPECT_EQ(ListDir(dir / "out"),
            (std::vector<std::string>{"001_001.txt", "002_002.txt", "003_005.txt", "004_007.txt"}));
  EXPECT_EQ(ReadFile(dir / "out/002_002.txt"),
            "003\r\nbody of chapter 3\r\n004\r\nbody of chapter 4\r\n");
}

TEST(Hardening, ALinkOrSpecialFileAtAPieceNameFailsTheRunAndIsLeftAlone) {
  struct Case {
    const char* what;
    std::function<void(const std::string& at, const std::string& outside)> plant;
  };
  const std::vector<Case> cases = {
      {"link to a file outside",
       [](const std::string& at, const std::string& outside) {
         WriteFile(outside, "keep me");
         fs::create_symlink(outside, at);
       }},
      {"dangling link",
       [](const std::string& at, const std::string& outside) { fs::create_symlink(outside, at); }},
      {"fifo",
       [](const std::string& at, const std::string&) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
      {"folder", [](const std::string& at, const std::string&) { fs::create_directory(at); }},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "src.txt", std::string(1500, 'x') + "\r\n" + std::string(1500, 'y'));
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    options.mode = SplitMode::BySize;
    options.maxKb = 1;
    fs::create_directory(dir / "out");
    c.plant(dir / "out/src_002.txt", dir / "outside.txt");
    RecordingHost host;
    EXPECT_EQ(Split(options, host), SplitOutcome::Failed) << c.what;
    EXPECT_EQ(host.Message(),
              (Message{MessageId::NotRegularPiece, {dir / "out/src_002.txt"}}.Text()))
        << c.what;
    EXPECT_EQ(fs::exists(dir / "outside.txt") ? ReadFile(dir / "outside.txt") : "",
              c.what == cases[0].what ? "keep me" : "")
        << c.what;
  }
}

TEST(Hardening, AStopTakesEffectWithinALongLineInEveryMode) {
  // One 64 KiB line read in parts of 1 KiB; the flag goes down at the third poll.
  struct Case {
    const char* what;
    std::function<void(SplitOptions&)> set;
  };
  const std::vector<Case> cases = {
      {"chapter", [](SplitOptions&) {}},
      {"size",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.maxKb = 1000;
       }},
      {"keep-lines",
       [](SplitOptions& o) {
         o.mode = SplitMode::BySize;
         o.keepLines = true;
       }},
      {"clean-up", [](SplitOptions& o) { o.trimSpaces = true; }},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "src.txt", std::string(64 << 10, 'x'));
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    c.set(options);
    RecordingHost host;
    host.stopAfterPolls = 2;
    SplitRun run(options, host);
    run.SetPartLimit(1024);
    EXPECT_EQ(Execute(run, host), SplitOutcome::Stopped) << c.what;
    EXPECT_LE(JoinPieces(dir / "out").size(), 3u * 1024) << c.what;
  }
}

TEST(Hardening, ASecondRunIntoAFolderInUseIsRefused) {
  TempDir dir;
  WriteFile(dir / "src.txt", "text\r\n");
  fs::create_directory(dir / "out");
  const auto options = OptionsFor(dir / "src.txt", dir / "out");
  {
    FolderLock otherRun;
    ASSERT_TRUE(otherRun.Take(dir / "out"));
    RecordingHost host;
    EXPECT_EQ(Split(options, host), SplitOutcome::Refused);
    EXPECT_EQ(host.Message(), (Message{MessageId::FolderBusy, {dir / "out"}}.Text()));
    EXPECT_TRUE(ListDir(dir / "out").empty());
  }
  RecordingHost host;
  EXPECT_EQ(Split(options, host), SplitOutcome::Completed);
}

// Cuts the source short at the first poll, as another program might while a run reads it.
class TruncatingHost final : public SplitHost {
 public:
  TruncatingHost(std::string path, std::int64_t keep) : m_path(std::move(path)), m_keep(keep) {}
  bool Progress(std::int64_t, std::int64_t) override {
    if (!m_done) std::filesystem::resize_file(m_path, static_cast<std::uintmax_t>(m_keep));
    m_done = true;
    return true;
  }

 private:
  std::string m_path;
  std::int64_t m_keep;
  bool m_done = false;
};

TEST(Hardening, ASourceCutShortDuringTheRunFailsNamingBothSizes) {
  struct Case {
    const char* what;
    Encoding to;
    std::int64_t readAheadFrom;
  };
  for (const Case& c : {Case{"as it is", Encoding::Auto, -1}, Case{"read ahead", Encoding::Auto, 0},
                        Case{"converted", Encoding::Utf8, -1}}) {
    TempDir dir;
    std::string book;
    while (book.size() < (std::size_t{4} << 20)) book += G("第一章 天下大势，分久必合。\r\n");
    WriteFile(dir / "src.txt", book);
    auto options = OptionsFor(dir / "src.txt", dir / "out");
    options.mode = SplitMode::BySize;
    options.encoding = Encoding::Gbk;
    options.outEncoding = c.to;
    constexpr std::int64_t kKeep = 3 << 20;
    TruncatingHost host(dir / "src.txt", kKeep);
    SplitRun run(options, host);
    run.SetReadAhead(c.readAheadFrom, std::size_t{1} << 16);
    const SplitEnd end = run.Execute();
    EXPECT_EQ(end.outcome, SplitOutcome::Failed) << c.what;
    EXPECT_EQ(end.message,
              (Message{MessageId::SourceShrank,
                       {dir / "src.txt", std::to_string(book.size()), std::to_string(kKeep)}}))
        << c.what;
  }
}

}  // namespace
}  // namespace sekato::engine
