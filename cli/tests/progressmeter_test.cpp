#include "progressmeter.h"

#include <gtest/gtest.h>

namespace sekato::cli {
namespace {

TEST(ProgressMeter, LineShowsShareSpeedAndTimeLeft) {
  // A quarter of 200 MiB in one second: 50 MiB/s, three more seconds to go.
  EXPECT_EQ(ProgressMeter::Line(50 << 20, 200 << 20, 1.0),
            "[#####...............]  25%    50.0 MB/s  00:03 left");
  EXPECT_EQ(ProgressMeter::Line(0, 100, 0.0), "[....................]   0%");
  // An empty source is complete at once; positions past the end never pass 100%.
  EXPECT_EQ(ProgressMeter::Line(0, 0, 0.0), "[####################] 100%");
  EXPECT_EQ(ProgressMeter::Line(200, 100, 1.0).substr(0, 27), "[####################] 100%");
}

}  // namespace
}  // namespace sekato::cli
