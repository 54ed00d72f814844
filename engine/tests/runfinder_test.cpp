#include "runfinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

TEST(RunFinder, EndsWhereALineMustGoAlone) {
  const std::string di = G("第");
  const std::string fullWidth = G("　");
  struct Case {
    const char* what;
    std::string atHand;
    RunFinder::Limits limits;
    std::size_t end;
  };
  const auto needle = [&](std::size_t headingBytes) {
    RunFinder::Limits limits;
    limits.needle = di;
    limits.headingBytes = headingBytes;
    return limits;
  };
  RunFinder::Limits budget5;
  budget5.budget = 5;
  RunFinder::Limits cleanUp;
  cleanUp.cleanUp = true;
  cleanUp.fullWidthSpace = fullWidth;
  RunFinder::Limits oneByte;
  oneByte.needle = "x";
  for (const Case& c : {
           Case{"a heading ends it", "ab\r\ncd\r\n" + di + "\r\nx\r\n", needle(20), 8},
           Case{"the first line a heading", di + "1\r\nab\r\n", needle(20), 0},
           Case{"a line too long for a heading stays", "ab\r\n" + di + "123456\r\nc\r\n", needle(4),
                17},
           Case{"a line feed without CR", "ab\r\ncd\nef\r\n", {}, 4},
           Case{"the start of a line not yet read is left", "ab\r\ncd", {}, 4},
           Case{"nothing whole at hand", "abcd", {}, 0},
           Case{"the budget, without the last CR LF", "ab\r\ncd\r\nef\r\n", budget5, 4},
           Case{"clean-up stops at a trailing blank", "ab\r\n\r\ncd \r\nef\r\n", cleanUp, 6},
           Case{"clean-up stops at a trailing full-width space", "ab\r\ncd" + fullWidth + "\r\n",
                cleanUp, 4},
           Case{"a one-byte needle takes no run", "ab\r\ncd\r\n", oneByte, 0},
       }) {
    EXPECT_EQ(RunFinder::End(c.atHand, c.limits), c.end) << c.what;
  }
}

TEST(RunFinder, ALimitOnLinesEndsTheRunAtThatLineThroughLongStretches) {
  // Lines of every length up to a few hundred bytes over tens of kilobytes, so that the
  // limit falls in every part of the wide and the narrow blocks lines are counted in.
  std::string atHand;
  std::vector<std::size_t> ends;  // where each line ends, its CR LF included
  for (std::size_t n = 0; atHand.size() < 40000; ++n) {
    atHand += std::string((n * 37) % 300, 'x') + "\r\n";
    ends.push_back(atHand.size());
  }
  atHand += "unfinished";
  for (std::size_t lines = 1; lines <= ends.size() + 1; ++lines) {
    RunFinder::Limits limits;
    limits.lines = lines;
    std::size_t taken = 0;
    const std::size_t expected = lines <= ends.size() ? ends[lines - 1] : ends.back();
    ASSERT_EQ(RunFinder::End(atHand, limits, &taken), expected) << lines;
    ASSERT_EQ(taken, std::min(lines, ends.size())) << lines;
  }
}

}  // namespace
}  // namespace sekato::engine
