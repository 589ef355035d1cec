#include "scan/frame_rate.h"

#include <algorithm>
#include <cmath>

namespace clip {

namespace {

// Fewer steps than this between frames tell no rate.
constexpr std::size_t kMinSteps = 3;
// Stamps stepping faster than this are not one a frame.
constexpr double kMaxRate = 1000;

// The rates cameras, films and television use.
// clang-format off
constexpr double kCommonRates[] = {
    6, 8, 10, 12, 12.5, 15, 16, 20, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 48, 50,
    60000.0 / 1001, 60, 72, 90, 100, 120000.0 / 1001, 120, 144, 240};
// clang-format on

}  // namespace

double SnapFrameRate(double measured, double tolerance) {
  double best = measured, bestDistance = 0;
  bool found = false;
  for (double rate : kCommonRates) {
    const double distance = std::fabs(rate - measured);
    if (distance > rate * tolerance + 1e-9) continue;
    if (!found || distance < bestDistance) best = rate, bestDistance = distance, found = true;
  }
  return best;
}

// The stamps, sorted, step from frame to frame by the frame time, give or
// take the clock's rounding; a step of several frame times is frames left
// out (dropped, or later in decode order than the frames seen), a much
// shorter one no frame. So:
//  - the median step is taken for one frame time, and the steps within
//    1 % (and at least a tick) of it for steps of one frame; unless they are
//    most of the steps, the stamps are not one a frame and tell nothing;
//  - their mean numbers the frames: each stamp lies a whole number of frame
//    times after the first, and the first and last stamps and the frames
//    between them measure the rate;
//  - a stamp errs from its frame's time by the clock's rounding, less than
//    a tick, or where the steps spread wider (a clock of whole milliseconds
//    steps 33 and 34 for 30000/1001 frames a second, one that was rounded
//    to milliseconds before it was counted in 90 kHz ticks by 90) by that
//    spread. Of the common rates within that error of the measure, the one
//    whose frame times the stamps keep closest to (least spread about them:
//    24 and 24000/1001 part by a millisecond a second, which a second of
//    stamps shows) is taken, and of two alike the one nearer the measure;
//    with none so near, the measure itself.
double FrameStamps::Rate(double clockHz) const {
  std::vector<std::int64_t> s = stamps_;
  std::sort(s.begin(), s.end());
  s.erase(std::unique(s.begin(), s.end()), s.end());
  if (s.size() < kMinSteps + 1) return 0;
  std::vector<std::int64_t> steps;
  for (std::size_t i = 1; i < s.size(); ++i) steps.push_back(s[i] - s[i - 1]);
  std::vector<std::int64_t> sorted = steps;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                   sorted.end());
  const std::int64_t median = sorted[sorted.size() / 2];
  const std::int64_t window = 1 + median / 100;
  std::int64_t total = 0, lowest = median, highest = median;
  std::size_t count = 0;
  for (std::int64_t step : steps) {
    if (step < median - window || step > median + window) continue;
    total += step;
    ++count;
    lowest = std::min(lowest, step);
    highest = std::max(highest, step);
  }
  if (count < kMinSteps || count * 2 < steps.size()) return 0;
  const double frameTime = static_cast<double>(total) / static_cast<double>(count);

  // Each frame's number, counted from the first stamp; a stamp less than
  // half a frame after the one before is no frame of its own.
  std::vector<std::int64_t> times{s[0]};
  std::vector<double> frames{0};
  for (std::size_t i = 1; i < s.size(); ++i) {
    const double n = std::round(static_cast<double>(s[i] - times.back()) / frameTime);
    if (n < 1) continue;
    times.push_back(s[i]);
    frames.push_back(frames.back() + n);
  }
  const double span = static_cast<double>(times.back() - times.front());
  if (span <= 0 || frames.back() < kMinSteps) return 0;
  const double rate = clockHz * frames.back() / span;
  if (rate >= kMaxRate) return 0;
  const double error = static_cast<double>(std::max<std::int64_t>(1, highest - lowest));

  auto offsets = [&](double common) {
    const double time = clockHz / common;
    double low = 0, high = 0;
    for (std::size_t i = 0; i < times.size(); ++i) {
      const double off = static_cast<double>(times[i] - times[0]) - frames[i] * time;
      low = std::min(low, off);
      high = std::max(high, off);
    }
    return high - low;
  };
  double best = rate, bestDistance = 0, bestSpread = 0;
  bool found = false;
  for (double common : kCommonRates) {
    const double distance = std::fabs(common - rate);
    if (distance > common * error / span + 1e-9) continue;
    const double spread = offsets(common);
    if (!found || spread < bestSpread - 1e-9 ||
        (spread < bestSpread + 1e-9 && distance < bestDistance))
      best = common, bestDistance = distance, bestSpread = spread, found = true;
  }
  return best;
}

}  // namespace clip
