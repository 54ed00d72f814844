#include "listoutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace sekato::cli {
namespace {

// What the sources of a batch do, in the order the threads happen to do it.
struct Step {
  enum Kind { Begin, Write, End } kind;
  std::size_t source;
  const char* text = "";
};

struct OutputCase {
  const char* what;
  ListOutput::Form form;
  std::size_t sources;
  std::vector<Step> steps;
  std::string expected;
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.what; }

class Listings : public ::testing::TestWithParam<OutputCase> {};

TEST_P(Listings, StandInTheOrderOfTheSourcesWhateverOrderTheyAreMadeIn) {
  const OutputCase& c = GetParam();
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = ::open_memstream(&text, &size);
  ASSERT_NE(out, nullptr);
  {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < c.sources; ++i) names.push_back("s" + std::to_string(i));
    ListOutput output(out, c.form, names);
    std::vector<std::FILE*> streams(c.sources);
    for (const Step& step : c.steps) {
      switch (step.kind) {
        case Step::Begin:
          streams[step.source] = output.Begin(step.source);
          break;
        case Step::Write:
          std::fputs(step.text, streams[step.source]);
          break;
        case Step::End:
          output.End(step.source);
          break;
      }
    }
    std::string error;
    EXPECT_TRUE(output.Finish(error)) << error;
  }
  std::fclose(out);
  EXPECT_EQ(std::string(text, size), c.expected);
  std::free(text);
}

using S = Step;
constexpr auto kJson = ListOutput::Form::Json;
constexpr auto kTable = ListOutput::Form::Table;

INSTANTIATE_TEST_SUITE_P(
    Batches, Listings,
    ::testing::Values(
        OutputCase{"one JSON object",
                   kJson,
                   1,
                   {{S::Begin, 0}, {S::Write, 0, "{0}"}, {S::End, 0}},
                   "{0}\n"},
        OutputCase{
            "one table", kTable, 1, {{S::Begin, 0}, {S::Write, 0, "t0\n"}, {S::End, 0}}, "t0\n"},
        OutputCase{"in order",
                   kJson,
                   3,
                   {{S::Begin, 0},
                    {S::Write, 0, "{0}"},
                    {S::End, 0},
                    {S::Begin, 1},
                    {S::Write, 1, "{1}"},
                    {S::End, 1},
                    {S::Begin, 2},
                    {S::Write, 2, "{2}"},
                    {S::End, 2}},
                   "[{0},\n{1},\n{2}]\n"},
        OutputCase{"last first",
                   kJson,
                   3,
                   {{S::Begin, 0},
                    {S::Begin, 1},
                    {S::Begin, 2},
                    {S::Write, 2, "{2}"},
                    {S::End, 2},
                    {S::Write, 1, "{1}"},
                    {S::End, 1},
                    {S::Write, 0, "{0}"},
                    {S::End, 0}},
                   "[{0},\n{1},\n{2}]\n"},
        OutputCase{"a later one whole while the first is written in parts",
                   kJson,
                   2,
                   {{S::Begin, 0},
                    {S::Write, 0, "{0"},
                    {S::Begin, 1},
                    {S::Write, 1, "{1}"},
                    {S::End, 1},
                    {S::Write, 0, "0}"},
                    {S::End, 0}},
                   "[{00},\n{1}]\n"},
        OutputCase{"one never begun",
                   kJson,
                   3,
                   {{S::Begin, 0},
                    {S::Write, 0, "{0}"},
                    {S::End, 0},
                    {S::Begin, 2},
                    {S::Write, 2, "{2}"},
                    {S::End, 2}},
                   "[{0},\n{2}]\n"},
        OutputCase{"none begun", kJson, 2, {}, "[]\n"},
        OutputCase{"tables under their names",
                   kTable,
                   2,
                   {{S::Begin, 1},
                    {S::Write, 1, "t1\n"},
                    {S::End, 1},
                    {S::Begin, 0},
                    {S::Write, 0, "t0\n"},
                    {S::End, 0}},
                   "== s0 ==\nt0\n\n== s1 ==\nt1\n"}));

TEST(ListOutput, AStreamThatCannotBeWrittenIsReported) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  ListOutput output(full, ListOutput::Form::Json, {"a", "b"});
  std::fputs("{}", output.Begin(1));
  output.End(1);
  std::fputs("{}", output.Begin(0));
  output.End(0);
  std::string error;
  EXPECT_FALSE(output.Finish(error));
  EXPECT_FALSE(error.empty());
  std::fclose(full);
}

}  // namespace
}  // namespace sekato::cli
