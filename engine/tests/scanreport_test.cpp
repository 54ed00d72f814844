#include "sekato/scanreport.h"

#include <gtest/gtest.h>

#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

TEST(ScanReport, BookTextAndSizesForPeople) {
  // Bytes that are no GBK character cost one U+FFFD each, never the rest of the title.
  const std::vector<std::pair<std::string, std::string>> texts = {
      {G("第一回"), "第一回"},
      {G("第") + "\xFF" + G("回"), "第\xEF\xBF\xBD回"},
      {G("第一") + "\xB5", "第一\xEF\xBF\xBD"},  // a lead byte with nothing after it
      {"", ""},
  };
  for (const auto& [gbk, utf8] : texts) EXPECT_EQ(ScanReport::Utf8(gbk), utf8);
  const std::vector<std::pair<std::int64_t, std::string>> sizes = {
      {0, "0 B"}, {1023, "1023 B"}, {1536, "2 KB"}, {5 * 1024 * 1024 + 200000, "5.2 MB"}};
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(ScanReport::Size(bytes), text);
}

}  // namespace
}  // namespace sekato::engine
