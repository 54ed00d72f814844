#include "numberingcheck.h"

#include <gtest/gtest.h>

namespace sekato::engine {
namespace {

// "gap 4-4 @8,10", "repeat 3 @6,8", "order 6 @14".
std::string Describe(const NumberingIssue& issue) {
  std::string text;
  switch (issue.kind) {
    case NumberingIssue::Kind::Gap:
      text = "gap " + std::to_string(issue.number) + "-" + std::to_string(issue.last);
      break;
    case NumberingIssue::Kind::Repeat:
      text = "repeat " + std::to_string(issue.number);
      break;
    case NumberingIssue::Kind::OutOfOrder:
      text = "order " + std::to_string(issue.number);
      break;
  }
  for (std::size_t i = 0; i < issue.lines.size(); ++i) {
    text += (i == 0 ? " @" : ",") + std::to_string(issue.lines[i]);
  }
  return text;
}

TEST(NumberingCheck, GapsRepeatsAndOrderWhateverTheNumbers) {
  // Numbers in heading order; heading i stands on line 10 × (i + 1).
  const std::vector<std::pair<std::vector<std::int64_t>, std::vector<std::string>>> cases = {
      {{1, 2, 3, 3, 5}, {"repeat 3 @30,40", "gap 4-4 @40,50"}},
      {{1, 3, 2}, {"order 2 @30"}},  // the gap before 3 is filled later
      {{7, 7, 7, 8}, {"repeat 7 @10,20,30"}},
      {{4, 3, 2}, {"order 3 @20", "order 2 @30"}},
      // Far beyond the chapters seen, and back: kept apart from the small numbers.
      {{1, 2, 5000000, 5000000, 3, 2},
       {"gap 3-4999999 @20,30", "repeat 5000000 @30,40", "order 3 @50", "repeat 2 @20,60"}},
      {{0, 1, 0}, {"repeat 0 @10,30"}},
  };
  for (const auto& [numbers, expected] : cases) {
    NumberingCheck check;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      check.Add(numbers[i], 10 * static_cast<std::int64_t>(i + 1),
                static_cast<std::int64_t>(i + 1));
    }
    std::vector<std::string> found;
    for (const auto& issue : check.Issues()) found.push_back(Describe(issue));
    EXPECT_EQ(found, expected) << ::testing::PrintToString(numbers);
  }
  // A split checks the numbers without their lines: all on line 0.
  NumberingCheck unlined;
  for (const std::int64_t n : {1, 2, 2}) unlined.Add(n, 0, n);
  ASSERT_EQ(unlined.Issues().size(), 1u);
  EXPECT_EQ(Describe(unlined.Issues()[0]), "repeat 2 @0,0");
}

}  // namespace
}  // namespace sekato::engine
