// A video stream's frame rate from the times of its first frames, where the
// container states none, and the common rate such a measure stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace clip {

// Fewer frame times than this give no rate: with B-frames the first frames
// in decode order leave gaps among their presentation times, which only
// enough of them outvote.
constexpr std::size_t kMinRateFrames = 8;

// The frame rate that presentation times (in ticks of secondsPerTick, in
// decode order as a stream holds them) show, or 0 when they show none.
//
// The times are sorted and repeats dropped; the median step between
// neighbours is the frame duration roughly. The longest run of steps of at
// most one and a half medians (a longer one is a frame not yet reached,
// reordered later, or one dropped) then gives it exactly: its span over
// its steps. Times rounded to whole ticks leave that up to one tick over
// the span uncertain, so the rate is snapped to the nearest common one
// (23.976, 24, 25, 29.97, 30, 50, 59.94, 60 and the like) within that
// uncertainty plus 0.03 % (less than half the gap between 24 and 23.976);
// else it is shown as measured.
double FrameRateFromTimes(std::vector<std::int64_t> times, double secondsPerTick);

// The common frame rate nearest to fps when it lies within tolerance (a
// fraction of that rate), else fps itself.
double SnapFrameRate(double fps, double tolerance);

}  // namespace clip
