#include "scan/rate_snap.h"

#include <algorithm>
#include <cmath>

namespace clip {

namespace {

// Relative slack a measured rate may have past its rounding to ticks.
constexpr double kRateSlack = 0.0003;

const double kCommonRates[] = {1,
                               5,
                               6,
                               8,
                               10,
                               12,
                               12.5,
                               15,
                               20,
                               24000.0 / 1001,
                               24,
                               25,
                               30000.0 / 1001,
                               30,
                               48,
                               50,
                               60000.0 / 1001,
                               60,
                               72,
                               90,
                               100,
                               120000.0 / 1001,
                               120,
                               144,
                               240};

}  // namespace

double SnapFrameRate(double fps, double tolerance) {
  double best = fps, bestOff = tolerance;
  for (double rate : kCommonRates) {
    const double off = std::fabs(fps - rate) / rate;
    if (off <= bestOff) best = rate, bestOff = off;
  }
  return best;
}

double FrameRateFromTimes(std::vector<std::int64_t> times, double secondsPerTick) {
  if (!(secondsPerTick > 0) || !std::isfinite(secondsPerTick)) return 0;
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  if (times.size() < kMinRateFrames) return 0;
  // Steps as unsigned differences of sorted times: never negative, never
  // past 2^64.
  std::vector<double> steps(times.size() - 1);
  for (std::size_t i = 1; i < times.size(); ++i)
    steps[i - 1] = static_cast<double>(static_cast<std::uint64_t>(times[i]) -
                                       static_cast<std::uint64_t>(times[i - 1]));
  std::vector<double> sorted = steps;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const double median = sorted[sorted.size() / 2];
  // The longest run of steps that miss no frame.
  std::size_t run = 0, count = 0;
  double span = 0, sum = 0;
  for (double step : steps) {
    if (step > 1.5 * median) {
      count = 0, sum = 0;
      continue;
    }
    ++count, sum += step;
    if (count > run) run = count, span = sum;
  }
  if (run == 0 || !(span > 0)) return 0;
  const double fps = static_cast<double>(run) / (span * secondsPerTick);
  if (!std::isfinite(fps) || fps <= 0 || fps > 1e6) return 0;
  return SnapFrameRate(fps, 1 / span + kRateSlack);
}

}  // namespace clip
