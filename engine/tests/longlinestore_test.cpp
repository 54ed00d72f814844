#include "longlinestore.h"

#include <gtest/gtest.h>

#include <string>

#include "sekato/textrules.h"
#include "sourcefeed.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

// A line measured ahead without being held: as Next gives it, or as clean-up leaves it
// (trailing blanks gone, each full-width space two ASCII spaces), straight from the file
// for GBK and in chunks for UTF-8.
TEST(LongLineStore, MeasuresALineAheadAsItWillBeWritten) {
  struct Case {
    const char* what;
    Encoding text;
    std::string bytes;
    bool trimmed;
    std::int64_t bound;
    std::int64_t length;
  };
  const std::string space = "　";
  const Case cases[] = {
      {"the CR before the line feed is no part", Encoding::Gbk, "abc  \r\nx", false, 100, 5},
      {"trailing blanks go when trimmed", Encoding::Gbk, "abc  \r\nx", true, 100, 3},
      {"trailing full-width spaces go", Encoding::Gbk, G("a" + space + space) + "\r\n", true, 100,
       1},
      {"a full-width space inside counts two", Encoding::Gbk, G("a" + space + "b") + "\n", true,
       100, 4},
      {"a last line without line feed", Encoding::Gbk, "abc ", true, 100, 3},
      {"past the bound, bound + 1", Encoding::Gbk, "abcdef\n", false, 3, 4},
      {"UTF-8 trailing full-width spaces go", Encoding::Utf8, "a" + space + space + "\r\n", true,
       100, 1},
      {"UTF-8 full-width space inside shrinks to two", Encoding::Utf8, "a" + space + "b\n", true,
       100, 4},
      {"UTF-8 untrimmed counts its bytes", Encoding::Utf8, "a" + space + "b\n", false, 100, 5},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir / "line.txt";
    test::WriteFile(path, c.bytes);
    SourceFeed feed;
    SourceFeed::Window window;
    std::string error;
    ASSERT_TRUE(feed.Open(path, 1 << 16, window, error)) << error;
    LongLineStore store(feed);
    store.SetRules(TextRules::For(c.text));
    EXPECT_EQ(store.Measure(
                  0, {}, c.trimmed, c.bound, [] { return true; }, error),
              c.length)
        << c.what;
  }
}

TEST(LongLineStore, StopsWhenToldAndReadsAgainPastTheTextStart) {
  test::TempDir dir;
  const std::string path = dir / "line.txt";
  test::WriteFile(path,
                  "\xEF\xBB\xBF"
                  "abcdef\n");
  SourceFeed feed;
  SourceFeed::Window window;
  std::string error;
  ASSERT_TRUE(feed.Open(path, 1 << 16, window, error)) << error;
  LongLineStore store(feed);
  store.SetTextStart(3);  // a byte-order mark the decoder skips
  EXPECT_EQ(store.Measure(
                0, {}, false, 100, [] { return false; }, error),
            -2);
  EXPECT_EQ(store.Measure(
                0, {}, false, 100, [] { return true; }, error),
            6);
  char again[3] = {};
  ASSERT_TRUE(store.ReadAt(1, again, 3, error)) << error;
  EXPECT_EQ(std::string(again, 3), "bcd");
  EXPECT_FALSE(store.ReadAt(5, again, 3, error));  // past the file's end
}

}  // namespace
}  // namespace sekato::engine
