#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "clirunner.h"

namespace sekato::cli {
namespace {

using test::CliRunner;

// Reads each JSON file with Python's parser, which refuses text that is not UTF-8 and raw
// control characters in strings, and prints for each a block: "== N" and then each listing's
// version, status and source, one a line ("\n" in a name as "\\n"), or why it is not JSON.
const char kParse[] =
    "import json,sys\n"
    "out=open(sys.argv[1],'wb')\n"
    "for i,name in enumerate(sys.argv[2:]):\n"
    "  out.write(b'== %d\\n' % i)\n"
    "  try:\n"
    "    d=json.load(open(name,encoding='utf-8'))\n"
    "  except Exception as e:\n"
    "    out.write(('not JSON: %s\\n' % e).encode()); continue\n"
    "  for x in (d if isinstance(d,list) else [d]):\n"
    "    out.write(('%d %s ' % (x['version'], x['status'])).encode())\n"
    "    out.write(x['source'].replace('\\n','\\\\n').encode('utf-8') + b'\\n')\n";

/// What kParse prints for `files`, block by block; a block of its own when Python fails.
std::vector<std::string> Parse(const CliRunner& cli, const std::vector<std::string>& files) {
  test::WriteAll(cli / "../parse.py", kParse);
  const std::string parsed = cli / "../parsed.txt";
  std::string command = "python3 '" + cli / "../parse.py" + "' '" + parsed + "'";
  for (const auto& file : files) command += " '" + file + "'";
  if (std::system((command + " 2>'" + cli / "../python.txt" + "'").c_str()) != 0) {
    return {"python: " + test::ReadAll(cli / "../python.txt")};
  }
  std::vector<std::string> blocks;
  const std::string text = test::ReadAll(parsed);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = text.find('\n', at) + 1;
    const std::size_t next = text.find("== ", start);
    const std::size_t end = next == std::string::npos ? text.size() : next;
    blocks.push_back(text.substr(start, end - start));
    at = end;
  }
  return blocks;
}

struct NameCase {
  const char* what;
  std::string name;   ///< the file name's bytes
  std::string shown;  ///< what the JSON's "source" holds for it
};

const std::string kFffd = "\xEF\xBF\xBD";

const NameCase kNames[] = {
    {"ASCII", "plain.txt", "plain.txt"},
    {"UTF-8", "中文.txt", "中文.txt"},
    {"GBK", "\xD6\xD0\xCE\xC4.txt", kFffd + kFffd + kFffd + kFffd + ".txt"},
    {"a byte never in UTF-8", "\xFF.txt", kFffd + ".txt"},
    {"a character cut short", "\xE4\xB8.txt", kFffd + kFffd + ".txt"},
    {"an overlong form", "\xC0\xAF.txt", kFffd + kFffd + ".txt"},
    {"a surrogate", "\xED\xA0\x80.txt", kFffd + kFffd + kFffd + ".txt"},
    {"control characters", "a\x01\x1F.txt", "a\x01\x1F.txt"},
    {"quote and backslash", "a\"b\\c.txt", "a\"b\\c.txt"},
    {"a line feed", "a\nb.txt", "a\\nb.txt"},
};

TEST(ListJson, IsValidJsonWhateverTheFileName) {
  CliRunner cli;
  test::WriteAll(cli / "other.txt", "第1章\n甲\n");
  std::vector<std::string> files;
  std::vector<std::string> expected;
  for (const bool exists : {true, false}) {
    for (const NameCase& c : kNames) {
      SCOPED_TRACE(std::string(c.what) + (exists ? "" : ", missing"));
      if (exists) test::WriteAll(cli / c.name, "第1章\n甲\n第2章\n乙\n");
      const std::string status = exists ? "done" : "failed";
      // Alone, and in a batch where the other source may be listed first.
      ASSERT_EQ(cli.Run({"--list", "--json", c.name}), exists ? 0 : 2) << cli.Stderr();
      files.push_back(cli / ("../" + std::to_string(files.size()) + ".json"));
      test::WriteAll(files.back(), cli.Stdout());
      expected.push_back("2 " + status + " " + c.shown + "\n");
      ASSERT_EQ(cli.Run({"--list", "--json", "-j", "2", c.name, "other.txt"}), exists ? 0 : 2);
      files.push_back(cli / ("../" + std::to_string(files.size()) + ".json"));
      test::WriteAll(files.back(), cli.Stdout());
      expected.push_back("2 " + status + " " + c.shown + "\n2 done other.txt\n");
      if (exists) std::filesystem::remove(cli / c.name);
    }
  }
  const std::vector<std::string> parsed = Parse(cli, files);
  ASSERT_EQ(parsed.size(), expected.size()) << parsed.front();
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(parsed[i], expected[i]) << i;
}

TEST(ListJson, TakesNoMoreMemoryThanTheTable) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory hides the program's own";
#endif
  // 60,000 headings make some 10 MB of JSON: built whole before it is written, it would
  // stand in memory beside the headings, and the table does not.
  CliRunner cli;
  std::string book;
  for (int n = 1; n <= 60000; ++n) book += "第" + std::to_string(n) + "章 标题\nx\n";
  test::WriteAll(cli / "book.txt", book);
  long table = 0;
  ASSERT_EQ(cli.Run({"--list", "book.txt"}, &table), 0) << cli.Stderr();
  long json = 0;
  ASSERT_EQ(cli.Run({"--list", "--json", "book.txt"}, &json), 0) << cli.Stderr();
  ASSERT_GT(cli.Stdout().size(), 8u << 20);
  EXPECT_LT(json, table + 4 * 1024) << "KiB";
}

TEST(ListJson, AListingThatCannotBeWrittenFailsTheRun) {
  CliRunner cli;
  test::WriteAll(cli / "a.txt", "第1章\n甲\n");
  test::WriteAll(cli / "b.txt", "第1章\n乙\n");
  cli.SetStdout("/dev/full");
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--list", "a.txt"},
                                             {"--list", "--json", "a.txt"},
                                             {"--list", "-j", "2", "a.txt", "b.txt"}}) {
    EXPECT_EQ(cli.Run(args), 2) << args.back();
    EXPECT_NE(cli.Stderr().find("无法写出列表"), std::string::npos) << cli.Stderr();
  }
}

}  // namespace
}  // namespace sekato::cli
