#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bytesource.h"
#include "outfile.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

// One step of writing a piece: bytes written as Write takes them ('w'), left in place ('p'),
// in-place bytes sent ('s'), the last few taken back ('t', `text` holds how many), or the
// source's first bytes copied ('c', as many as `text` says).
struct Step {
  char what;
  std::string text;
};

struct Steps {
  const char* name;
  std::vector<Step> steps;
  std::string want;
};

class InPlaceWrites : public ::testing::TestWithParam<Steps> {};

// Bytes left in place reach the file where they were given, between what came before and
// after them, whatever comes next; once sent, their memory is the caller's again.
TEST_P(InPlaceWrites, LandWhereTheyWereGiven) {
  TempDir dir;
  WriteFile(dir / "source", "0123456789");
  ByteSource source;
  std::string reason;
  ASSERT_TRUE(source.Open(dir / "source", reason));
  OutFile out;
  OutFile::Refusal refusal = OutFile::Refusal::None;
  std::size_t hit = 0;
  ASSERT_TRUE(out.Create(dir / "piece", {}, refusal, hit, reason));
  std::vector<std::unique_ptr<std::string>> lent;
  for (const Step& step : GetParam().steps) {
    switch (step.what) {
      case 'w':
        out.Write(step.text);
        break;
      case 'p':
        lent.push_back(std::make_unique<std::string>(step.text));
        out.WriteInPlace(*lent.back());
        break;
      case 's':
        out.SendInPlace();
        for (auto& bytes : lent) bytes->assign(bytes->size(), '#');
        break;
      case 't':
        out.TakeBack(std::stoll(step.text));
        break;
      case 'c':
        out.CopyFrom(source.Descriptor(), 0, std::stoll(step.text));
        break;
    }
  }
  ASSERT_TRUE(out.Close(reason)) << reason;
  EXPECT_EQ(ReadFile(dir / "piece"), GetParam().want);
}

// Longer than the buffer: it goes to the file past it.
const std::string kLong(300000, 'L');

INSTANTIATE_TEST_SUITE_P(
    Pieces, InPlaceWrites,
    ::testing::Values(
        Steps{"HeadBodyEnding",
              {{'w', "HEAD\r\n"}, {'p', "body"}, {'w', "\r\nTAIL"}},
              "HEAD\r\nbody\r\nTAIL"},
        Steps{"TwoInPlace", {{'p', "one"}, {'w', "|"}, {'p', "two"}, {'w', "|"}}, "one|two|"},
        Steps{"SentThenMore",
              {{'p', "one"}, {'s', ""}, {'w', "|"}, {'p', "two"}, {'s', ""}},
              "one|two"},
        Steps{"TakenBack", {{'w', "a"}, {'p', "bcd\r\n"}, {'t', "2"}}, "abcd"},
        Steps{"TakenBackBeforeThem", {{'w', "abcd"}, {'p', "xy"}, {'t', "3"}}, "abc"},
        Steps{"TakenBackIntoItsBytes", {{'p', "abc"}, {'w', "de"}, {'t', "3"}}, "ab"},
        Steps{"ALongWriteAfter", {{'p', "one"}, {'w', kLong}, {'w', "!"}}, "one" + kLong + "!"},
        Steps{"ACopyAfter", {{'w', "<"}, {'p', "one"}, {'c', "3"}, {'w', ">"}}, "<one012>"},
        Steps{"NothingInPlace", {{'p', ""}, {'w', "x"}, {'s', ""}}, "x"}),
    [](const auto& info) { return std::string(info.param.name); });

// What stands at a path before a piece is made there only where nothing has the name.
struct Standing {
  const char* name;
  std::function<void(const std::string& dir)> make;
  OutFile::Refusal refusal;
};

class OnlyNewPieces : public ::testing::TestWithParam<Standing> {};

// Whatever has the name keeps it, untouched, and nothing is written through it.
TEST_P(OnlyNewPieces, AreMadeWhereNothingHasTheirName) {
  TempDir dir;
  WriteFile(dir / "target", "the target");
  if (GetParam().make) GetParam().make(dir.Path().string());
  const auto before = ListDir(dir.Path().string());
  OutFile out;
  OutFile::Refusal refusal = OutFile::Refusal::None;
  std::size_t hit = 0;
  std::string reason;
  const bool made = out.Create(dir / "piece", {}, refusal, hit, reason, true);
  EXPECT_EQ(made, GetParam().refusal == OutFile::Refusal::None);
  EXPECT_EQ(refusal, GetParam().refusal);
  out.Write("new");
  ASSERT_EQ(out.Close(reason), true) << reason;
  EXPECT_EQ(ReadFile(dir / "target"), "the target");
  if (made) {
    EXPECT_EQ(ReadFile(dir / "piece"), "new");
  } else {
    EXPECT_EQ(ListDir(dir.Path().string()), before);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / "piece"))) {
      EXPECT_EQ(ReadFile(dir / "piece"), "older");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OnlyNewPieces,
    ::testing::Values(
        Standing{"Nothing", {}, OutFile::Refusal::None},
        Standing{"AnOlderPiece", [](const std::string& dir) { WriteFile(dir + "/piece", "older"); },
                 OutFile::Refusal::Taken},
        Standing{"ALinkToAFile",
                 [](const std::string& dir) {
                   std::filesystem::create_symlink(dir + "/target", dir + "/piece");
                 },
                 OutFile::Refusal::Taken},
        Standing{"ALinkToNothing",
                 [](const std::string& dir) {
                   std::filesystem::create_symlink(dir + "/missing", dir + "/piece");
                 },
                 OutFile::Refusal::Taken},
        Standing{"AFolder",
                 [](const std::string& dir) { std::filesystem::create_directory(dir + "/piece"); },
                 OutFile::Refusal::Taken}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sekato::engine
