#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sekato/gbkcodec.h"

extern char** environ;

namespace sekato::cli {
namespace {

namespace fs = std::filesystem;

std::string G(const std::string& utf8) { return *engine::GbkCodec::FromUtf8(utf8); }

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> List(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

/// Bytes `pid` has read so far, from /proc (-1 when unknown).
long long BytesRead(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "sekato-cli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }

  /// Starts sekato-cli with `args` (optionally through `sh -c` with a prefix), stderr to a file.
  pid_t Start(const std::vector<std::string>& args, const std::string& shellPrefix = "") {
    std::vector<std::string> argv;
    if (shellPrefix.empty()) {
      argv.push_back(SEKATO_CLI);
      argv.insert(argv.end(), args.begin(), args.end());
    } else {
      std::string command = shellPrefix + " exec '" + SEKATO_CLI + "'";
      for (const auto& a : args) command += " '" + a + "'";
      argv = {"/bin/sh", "-c", command};
    }
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string err = (dir / "stderr.txt").string();
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    stderrText = Read(dir / "stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  int Run(const std::vector<std::string>& args, const std::string& shellPrefix = "") {
    return Wait(Start(args, shellPrefix));
  }
  /// Runs with `args` and returns the program's peak resident set in KiB (-1 on failure).
  long PeakKiB(const std::vector<std::string>& args) {
    const pid_t pid = Start(args);
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      return -1;
    }
    return usage.ru_maxrss;
  }
  std::string Novel() {
    const fs::path path = dir / "novel.txt";
    Write(path, G("前言\r\n第1章 甲\r\n一\r\n第2章 乙\r\n二\r\n第3章 丙\r\n三\r\n"));
    return path;
  }

  fs::path dir;
  std::string stderrText;
};

TEST_F(Cli, DefaultsSplitByChapterIntoAFolderBesideTheSource) {
  ASSERT_EQ(Run({Novel()}), 0);
  const std::string summary = "源文件编码：GBK\n文件分割完成！\n写出 3 个文件到 " +
                              (dir / "novel").string() + "，找到 3 个章节标题，用时 ";
  EXPECT_EQ(stderrText.substr(0, summary.size()), summary);
  EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 3);
  EXPECT_EQ(List(dir / "novel"),
            (std::vector<std::string>{"novel_001.txt", "novel_002.txt", "novel_003.txt"}));
  const std::string third = Read(dir / "novel/novel_003.txt");
  EXPECT_EQ(third.substr(0, 16), G("第3章 丙\r\n三\r\n\r\n"));
  EXPECT_NE(third.find("sekato.example.org"), std::string::npos);  // the promotional line
}

TEST_F(Cli, OptionsReachTheEngine) {
  const std::string source = Novel();
  ASSERT_EQ(Run({"-q", "--no-ad", "-o", dir / "a", "-k", "第?章", "--numerals", "ascii",
                 "--title-names", "-p", "2", "--head", "头", "--tail", "尾", source}),
            0);
  EXPECT_EQ(stderrText, "");
  EXPECT_EQ(List(dir / "a"), (std::vector<std::string>{"001_第1章 甲.txt", "002_第3章 丙.txt"}));
  EXPECT_EQ(Read(dir / "a/002_第3章 丙.txt"), G("头\r\n\r\n第3章 丙\r\n三\r\n\r\n尾"));
  ASSERT_EQ(Run({"-q", "--no-ad", "-o", dir / "b", "-n", "part", "-m", "size", "--kb", "1",
                 "--keep-lines", source}),
            0);
  EXPECT_EQ(List(dir / "b"), std::vector<std::string>{"part_001.txt"});
  ASSERT_EQ(Run({"-q", "--no-ad", "-o", dir / "c", "-m", "even", "--parts", "2", "--trim", source}),
            0);
  EXPECT_EQ(List(dir / "c").size(), 2u);
}

TEST_F(Cli, RefusedOptionsExitWithOne) {
  const std::string source = Novel();
  EXPECT_EQ(Run({"--mode", "lines", source}), 1);
  EXPECT_NE(stderrText.find("--mode"), std::string::npos);
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(Run({"-n", "x", "--title-names", source}), 1);
  EXPECT_EQ(Run({"-m", "even", "--parts", "0", source}), 1);
  EXPECT_EQ(stderrText, "sekato-cli: 平均分配的份数必须大于 0。\n");
  EXPECT_EQ(Run({"-k", "😀", source}), 1);  // not writable in GBK
  EXPECT_NE(stderrText.find("GBK"), std::string::npos);
  EXPECT_EQ(Run({"-k", "?", source}), 1);
  EXPECT_FALSE(fs::exists(dir / "novel"));
  // What a split refuses to read, a list refuses alike.
  const std::string fifo = (dir / "pipe.txt").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{fifo}, std::vector<std::string>{"--list", fifo}}) {
    EXPECT_EQ(Run(args), 1);
    EXPECT_NE(stderrText.find("不是普通文件"), std::string::npos) << stderrText;
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(Run({"--version"}), 0);
}

// A size that reads as 0 would write a piece for every line; a picture is no text.
TEST_F(Cli, SizesThatReadAsZeroAndFilesThatAreNotTextAreRefused) {
  const std::string source = Novel();
  for (const char* kb : {"0", "abc", "", "0.9"}) {
    EXPECT_EQ(Run({"-m", "size", "--kb", kb, source}), 1) << kb;
    EXPECT_EQ(stderrText, "sekato-cli: 每个文件的最大大小必须大于 0。\n") << kb;
  }
  EXPECT_EQ(Run({"-q", "-m", "size", "--kb", "1.5", source}), 0);  // read as 1
  EXPECT_FALSE(fs::exists(dir / "novel_001.txt"));
  const fs::path picture = dir / "picture.txt";
  Write(picture, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\0", 20));
  EXPECT_EQ(Run({picture}), 1);
  EXPECT_NE(stderrText.find("这不像是文本文件"), std::string::npos) << stderrText;
  EXPECT_EQ(stderrText.find("-e utf-16"), std::string::npos) << stderrText;
  EXPECT_FALSE(fs::exists(dir / "picture"));
  EXPECT_EQ(Run({"-q", "-e", "gbk", picture}), 0);  // the user's word counts
}

// An empty source is split as before (into an empty folder), with a warning.
TEST_F(Cli, AnEmptySourceWarnsAndGoesOn) {
  Write(dir / "empty.txt", "");
  EXPECT_EQ(Run({"-q", dir / "empty.txt"}), 0);
  EXPECT_NE(stderrText.find("是空的"), std::string::npos) << stderrText;
  EXPECT_TRUE(fs::is_directory(dir / "empty"));
}

// Pieces of an earlier, longer split are counted on stderr; --clean removes them first and
// leaves other files alone.
TEST_F(Cli, OlderPiecesAreCountedAndCleanRemovesThem) {
  const std::string source = Novel();
  fs::create_directories(dir / "novel");
  for (const char* name : {"novel_004.txt", "novel_005.txt", "notes.txt"}) {
    Write(dir / "novel" / name, "old");
  }
  ASSERT_EQ(Run({"-q", source}), 0);
  EXPECT_NE(stderrText.find("还有 2 个以前分割留下的文件"), std::string::npos) << stderrText;
  EXPECT_NE(stderrText.find("--clean"), std::string::npos) << stderrText;
  ASSERT_EQ(Run({"-q", "--clean", source}), 0);
  EXPECT_EQ(stderrText, "");
  EXPECT_EQ(List(dir / "novel"), (std::vector<std::string>{"notes.txt", "novel_001.txt",
                                                           "novel_002.txt", "novel_003.txt"}));
}

TEST_F(Cli, EncodingsAreDetectedChosenAndConverted) {
  const std::string utf8 = "前言\r\n第1章 甲\r\n一\r\n第2章 乙\r\n二\r\n";
  Write(dir / "u.txt", utf8);
  ASSERT_EQ(Run({"--no-ad", (dir / "u.txt").string()}), 0);
  EXPECT_EQ(stderrText.rfind("源文件编码：UTF-8\n文件分割完成！\n", 0), 0u) << stderrText;
  EXPECT_EQ(Read(dir / "u/u_002.txt"), "第2章 乙\r\n二");
  // Converted as written: the same pieces in GBK, and in UTF-16 with a mark on each.
  ASSERT_EQ(Run({"-q", "--no-ad", "--to", "gbk", "-o", dir / "g", (dir / "u.txt").string()}), 0);
  EXPECT_EQ(Read(dir / "g/u_002.txt"), G("第2章 乙\r\n二"));
  ASSERT_EQ(Run({"-q", "--no-ad", "--to", "UTF-16LE", "-o", dir / "w", (dir / "u.txt").string()}),
            0);
  EXPECT_EQ(Read(dir / "w/u_002.txt").substr(0, 4), std::string("\xFF\xFE\x2C\x7B", 4));
  // Refusals name what would work.
  EXPECT_EQ(Run({"-e", "latin1", (dir / "u.txt").string()}), 1);
  EXPECT_NE(stderrText.find("utf-16be"), std::string::npos) << stderrText;
  Write(dir / "nomark.txt", std::string("\x2C\x7B"
                                        "1\0\r\0\n\0",
                                        8));
  EXPECT_EQ(Run({(dir / "nomark.txt").string()}), 1);
  EXPECT_NE(stderrText.find("-e utf-16le"), std::string::npos) << stderrText;
  EXPECT_EQ(Run({"-q", "-e", "utf-16le", "-o", dir / "n", (dir / "nomark.txt").string()}), 0);
  EXPECT_EQ(Run({"--head", "这", "--to", "big5", (dir / "u.txt").string()}), 1);
  EXPECT_NE(stderrText.find("“这”"), std::string::npos) << stderrText;
}

TEST_F(Cli, ReadAndWriteFailuresExitWithTwo) {
  EXPECT_EQ(Run({(dir / "missing.txt").string()}), 2);
  EXPECT_NE(stderrText.find("missing.txt"), std::string::npos);
  // A file size limit stands for a full disk: writes fail, the program reports it.
  Write(dir / "big.txt", std::string(200000, 'x') + "\r\n");
  EXPECT_EQ(Run({"-o", (dir / "out").string(), (dir / "big.txt").string()}, "ulimit -f 64;"), 2);
  // The message names the piece and says it was cut short.
  EXPECT_NE(stderrText.find("big_001.txt"), std::string::npos);
  EXPECT_NE(stderrText.find("截断"), std::string::npos);
  EXPECT_EQ(stderrText.find("文件分割完成"), std::string::npos);
  // Converted long lines are kept on disk while cleaned: that file failing fails the run.
  std::string wide("\xFF\xFEy\0\r\0\n\0", 8);  // a short line, then one over 1 MiB
  for (int i = 0; i < 600000; ++i) wide += std::string("x\0 \0", 4);
  Write(dir / "wide.txt", wide);
  EXPECT_EQ(Run({"-o", (dir / "w").string(), "--trim", "-m", "size", "--kb", "32",
                 (dir / "wide.txt").string()},
                "ulimit -f 64;"),
            2);
  EXPECT_NE(stderrText.find("临时文件写入失败"), std::string::npos) << stderrText;
  EXPECT_NE(stderrText.find("“" + (dir / "w").string() + "/wide_"), std::string::npos)
      << stderrText;
  EXPECT_NE(stderrText.find("没有写完"), std::string::npos) << stderrText;
}

TEST_F(Cli, MemoryStaysSmallForALineOfFortyEightMegabytes) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizer's shadow memory hides the program's own";
#endif
  // One line with no line feed at all, as a file with old Mac line ends reads.
  {
    std::ofstream out(dir / "one-line.txt", std::ios::binary);
    const std::string block = std::string(4096, 'x') + G("第一章中文") + "\r";
    for (std::size_t written = 0; written < (48u << 20); written += block.size()) out << block;
  }
  // The same in UTF-16LE with a mark, converted as it is read; full-width spaces and blanks
  // at the ends of parts.
  {
    std::ofstream out(dir / "one-line-16.txt", std::ios::binary);
    std::string block(std::string_view("\x2C\x7B\x00\x4E\xE0\x7A\x00\x30 \x00", 10));  // 第一章　
    for (int i = 0; i < 4096; ++i) {
      block += i % 7 ? std::string("x\0", 2) : std::string(" \0\0\x30", 4);
    }
    block += std::string("\r\0", 2);
    out << "\xFF\xFE";
    for (std::size_t written = 0; written < (48u << 20); written += block.size()) out << block;
  }
  const std::string gbk = (dir / "one-line.txt").string();
  const std::string utf16 = (dir / "one-line-16.txt").string();
  using Mode = std::pair<std::string, std::vector<std::string>>;
  for (const auto& [source, mode] : std::vector<Mode>{
           {gbk, {}},
           {gbk, {"-m", "size", "--kb", "4000"}},
           {gbk, {"-m", "even", "--parts", "3"}},
           {gbk, {"--trim"}},
           {gbk, {"--title-max", "999999999"}},
           {gbk, {"-m", "size", "--kb", "4000", "--keep-lines"}},
           {gbk, {"-m", "size", "--kb", "99999", "--keep-lines", "--trim"}},
           {utf16, {"--trim"}},
           {utf16, {"-m", "size", "--kb", "99999", "--keep-lines"}},
           {utf16, {"-m", "size", "--kb", "4000", "--keep-lines", "--trim", "--to", "gbk"}}}) {
    std::vector<std::string> args = {"-q", "--no-ad", "-o", (dir / "out").string()};
    args.insert(args.end(), mode.begin(), mode.end());
    args.push_back(source);
    const long peak = PeakKiB(args);
    EXPECT_GT(peak, 0) << source;
    EXPECT_LT(peak, 16 * 1024) << source << " " << (mode.empty() ? "chapter" : mode.back());
    fs::remove_all(dir / "out");
  }
}

TEST_F(Cli, InterruptAndTerminateStopWithinALineAndExitWith130) {
  // 512 MiB without a line feed (a sparse file reads fast): the stop must not wait for the
  // line to end. The signal is sent once the program has read 8 MiB.
  const fs::path source = dir / "zeros.txt";
  { std::ofstream(source, std::ios::binary).put('\0'); }
  fs::resize_file(source, std::uintmax_t{512} << 20);
  for (const int signal : {SIGINT, SIGTERM}) {
    const fs::path out = dir / ("out" + std::to_string(signal));
    // Named, since NUL bytes alone would be taken for UTF-16 without a mark and refused.
    const pid_t pid = Start({"-q", "-e", "gbk", "-o", out.string(), source.string()});
    while (BytesRead(pid) >= 0 && BytesRead(pid) < (8 << 20)) usleep(1000);
    kill(pid, signal);
    EXPECT_EQ(Wait(pid), 130) << signal;
    EXPECT_NE(stderrText.find("文件分割被终止！"), std::string::npos) << signal;
    const std::string piece = Read(out / "zeros_001.txt");
    EXPECT_LT(piece.size(), 64u << 20) << signal;
    EXPECT_EQ(piece.find("sekato"), std::string::npos) << signal;  // no promotional line
    fs::remove_all(out);
  }
}

TEST_F(Cli, SummaryGivesTheReportsHintsWhenChaptersLookWrong) {
  // No heading: the form the book uses is suggested.
  ASSERT_EQ(Run({"-k", "第 回", Novel()}), 0);
  EXPECT_NE(stderrText.find("找到 0 个章节标题，用时"), std::string::npos);
  EXPECT_NE(stderrText.find("没有找到章节标题"), std::string::npos);
  EXPECT_NE(stderrText.find("  书中有 3 行形如“第N章”：关键字设为“第 章”"), std::string::npos);
  // A number missing: the gap, with the pieces still written as asked.
  Write(dir / "gap.txt", G("第1章\r\na\r\n第3章\r\nb\r\n"));
  ASSERT_EQ(Run({(dir / "gap.txt").string()}), 0);
  EXPECT_NE(stderrText.find("  缺少编号 2（第 1 行与第 3 行之间）"), std::string::npos);
  EXPECT_EQ(List(dir / "gap").size(), 2u);
}

TEST_F(Cli, ListJsonReadsBackAndWritesNothing) {
  // Lines 2, 4, 6, 8: chapters 1 2 2 4.
  Write(dir / "book.txt",
        G("序\r\n第1章 甲\r\na\r\n第2章 乙\r\nb\r\n第2章 乙\r\nc\r\n第4章 \"丁\"\r\nd"));
  ASSERT_EQ(Run({"--list", "--json", (dir / "book.txt").string()},
                "exec >'" + (dir / "out.json").string() + "';"),
            0);
  EXPECT_FALSE(fs::exists(dir / "book"));
  const std::string script =
      "import json,sys; d=json.load(open(sys.argv[1], encoding='utf-8'));"
      "print(d['status'], d['headingCount'], d['pieces'],"
      " [(h['piece'], h['number'], h['line'], h['title'], h['mark']) for h in d['headings']],"
      " [(n['kind'], n['number'], n['lines']) for n in d['numbering']])";
  const std::string command = "python3 -c \"" + script + "\" '" + (dir / "out.json").string() +
                              "' > '" + (dir / "parsed.txt").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read(dir / "parsed.txt"),
            "done 4 4 [(1, 1, 2, '第1章 甲', ''), (2, 2, 4, '第2章 乙', '重复'), "
            "(3, 2, 6, '第2章 乙', '重复'), (4, 4, 8, '第4章 \"丁\"', '缺 3')] "
            "[('repeat', 2, [4, 6]), ('gap', 3, [6, 8])]\n");
  // The table names the same rows and the report under them.
  ASSERT_EQ(
      Run({"--list", (dir / "book.txt").string()}, "exec >'" + (dir / "out.txt").string() + "';"),
      0);
  const std::string table = Read(dir / "out.txt");
  EXPECT_NE(table.find("   4       4         8"), std::string::npos);
  EXPECT_NE(table.find("第4章 \"丁\"  [缺 3]\n"), std::string::npos);
  EXPECT_NE(table.find("编号 2 出现 2 次：第 4、6 行\n"), std::string::npos);
}

TEST_F(Cli, BatchSplitsEverySourceAndExitsWithTheWorstStatus) {
  std::vector<std::string> args = {"-q", "-j", "2", "-o", (dir / "out").string()};
  for (const char* title : {"a", "b", "c"}) {
    Write(dir / (std::string(title) + ".txt"), G("第1章\r\na\r\n第2章\r\nb\r\n"));
    args.push_back((dir / (std::string(title) + ".txt")).string());
  }
  args.insert(args.begin() + 6, (dir / "missing.txt").string());
  EXPECT_EQ(Run(args), 2);
  EXPECT_NE(stderrText.find("missing.txt: 无法打开源文件"), std::string::npos);
  for (const char* title : {"a", "b", "c"}) {
    EXPECT_EQ(List(dir / "out" / title).size(), 2u) << title;
  }
  args.erase(args.begin() + 6);
  args.push_back("--numerals");  // every source refused alike
  args.push_back("bogus");
  EXPECT_EQ(Run(args), 1);
}

}  // namespace
}  // namespace sekato::cli
