// Frame rates measured on frame times and snapped to the common ones.
#include "scan/rate_snap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace clip {
namespace {

// Times of n frames of the given rate rounded to ticks of tick seconds, in
// the decode order of I P B B groups.
std::vector<std::int64_t> Times(double fps, int n, double tick) {
  const int order[] = {0, 3, 1, 2};
  std::vector<std::int64_t> times;
  for (int i = 0; i < n; ++i)
    times.push_back(std::llround((i / 4 * 4 + order[i % 4]) / fps / tick));
  return times;
}

TEST(FrameRateFromTimes, SnapsWhatTheTicksCannotTellApart) {
  EXPECT_DOUBLE_EQ(FrameRateFromTimes(Times(25, 64, 1e-3), 1e-3), 25);
  EXPECT_DOUBLE_EQ(FrameRateFromTimes(Times(30000.0 / 1001, 200, 1e-3), 1e-3), 30000.0 / 1001);
  EXPECT_DOUBLE_EQ(FrameRateFromTimes(Times(30, 30, 1e-3), 1e-3), 30);
  EXPECT_DOUBLE_EQ(FrameRateFromTimes(Times(60000.0 / 1001, 256, 1e-5), 1e-5), 60000.0 / 1001);
  // A rate near no common one is kept as measured.
  EXPECT_NEAR(FrameRateFromTimes(Times(17.3, 64, 1e-6), 1e-6), 17.3, 0.001);
}

TEST(FrameRateFromTimes, GapsAndTooFewTimes) {
  // A dropped frame and the reordered tail leave the longest whole run.
  std::vector<std::int64_t> gap = Times(25, 64, 1e-3);
  gap.erase(gap.begin() + 20);
  EXPECT_DOUBLE_EQ(FrameRateFromTimes(gap, 1e-3), 25);
  std::vector<std::int64_t> repeated = Times(24, 7, 1e-3);
  repeated.push_back(repeated.back());  // repeats count once
  EXPECT_EQ(FrameRateFromTimes(repeated, 1e-3), 0);
  EXPECT_EQ(FrameRateFromTimes(std::vector<std::int64_t>(20, 5), 1e-3), 0);
  EXPECT_EQ(FrameRateFromTimes(Times(25, 64, 1e-3), 0), 0);
  // Times at the ends of the range step over them without wrapping.
  EXPECT_DOUBLE_EQ(FrameRateFromTimes({INT64_MIN, 0, 1, 2, 3, 4, 5, INT64_MAX}, 1), 1);
}

}  // namespace
}  // namespace clip
