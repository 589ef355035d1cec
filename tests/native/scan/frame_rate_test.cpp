// Frame rates from the time stamps of first frames: exact and rounded
// clocks, pictures out of order, frames left out, and stamps that tell
// nothing.
#include "scan/frame_rate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace clip {
namespace {

// The stamps of count frames at rate in a clock of hz, each rounded as
// round gives, the first skip frames after the first one missing; in
// decode order with two B-frames between references when bFrames is set.
FrameStamps Stamps(double hz, double rate, int count, int skip = 0, bool bFrames = false,
                   double (*round)(double) = std::round) {
  FrameStamps s;
  for (int i = 0; i < count; ++i) {
    int frame = i;
    if (bFrames && i > 0) frame = i % 3 == 1 ? i + 2 : i - 1;  // I P B B P B B ...
    if (frame > 0 && frame <= skip) continue;
    s.Add(static_cast<std::int64_t>(round(frame * hz / rate)));
  }
  return s;
}

TEST(FrameStamps, RatesOfExactAndRoundedClocks) {
  struct Case {
    const char* what;
    FrameStamps stamps;
    double hz, want;
  } cases[] = {
      {"90 kHz, B-frames", Stamps(90000, 24000.0 / 1001, 40, 0, true), 90000, 24000.0 / 1001},
      {"90 kHz, frames missing after the first", Stamps(90000, 24, 40, 2), 90000, 24},
      // Milliseconds: a second of stamps tells 24 from 24000/1001...
      {"ms, 24", Stamps(1000, 24, 26, 1), 1000, 24},
      {"ms, 24000/1001", Stamps(1000, 24000.0 / 1001, 26, 1), 1000, 24000.0 / 1001},
      {"ms, 30000/1001 over two seconds", Stamps(1000, 30000.0 / 1001, 60), 1000, 30000.0 / 1001},
      // ... and stamps rounded up keep closer to 30 than to 30000/1001.
      {"ms, 30 rounded up", Stamps(1000, 30, 13, 0, false, std::ceil), 1000, 30},
      {"ms, 27.03 matches no common rate", Stamps(1000, 1000.0 / 37, 20), 1000, 1000.0 / 37},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.stamps.Rate(c.hz), c.want, 1e-4) << c.what;
}

TEST(FrameStamps, StampsThatTellNoRate) {
  EXPECT_EQ(Stamps(1000, 25, 3).Rate(1000), 0);     // too few
  EXPECT_EQ(Stamps(1000, 2000, 20).Rate(1000), 0);  // faster than frames come
  FrameStamps same, uneven;
  for (int i = 0; i < 10; ++i) same.Add(3600);
  for (std::int64_t t : {0, 10, 50, 63, 153, 184, 254, 300, 420}) uneven.Add(t);
  EXPECT_EQ(same.Rate(90000), 0);
  EXPECT_EQ(uneven.Rate(1000), 0);
  FrameStamps many = Stamps(90000, 25, 1000);  // only the first ones are kept
  EXPECT_TRUE(many.Full());
  EXPECT_EQ(many.Rate(90000), 25);
}

TEST(FrameStamps, SnapToCommonRates) {
  EXPECT_DOUBLE_EQ(SnapFrameRate(23.97, 0.001), 24000.0 / 1001);
  EXPECT_DOUBLE_EQ(SnapFrameRate(27.5, 0.01), 27.5);
}

}  // namespace
}  // namespace clip
