// Frame rates measured from the time stamps of a stream's first frames, for
// containers whose stream headers state none (or state one that is no frame
// rate): transport and program streams (a 90 kHz clock), FLV and ASF
// (milliseconds).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace clip {

// The time stamps of up to kMaxFrameStamps frames, in any order (pictures
// in decode order show out of order): each frame's stamp once.
class FrameStamps {
 public:
  static constexpr std::size_t kMaxFrameStamps = 128;

  void Add(std::int64_t stamp) {
    if (stamps_.size() < kMaxFrameStamps) stamps_.push_back(stamp);
  }
  bool Full() const { return stamps_.size() >= kMaxFrameStamps; }
  std::size_t size() const { return stamps_.size(); }

  // The frames a second the stamps step by, counted in a clock of clockHz;
  // 0 when they are too few or step too unevenly to tell. See the .cpp for
  // how gaps and rounded clocks are dealt with.
  double Rate(double clockHz) const;

 private:
  std::vector<std::int64_t> stamps_;
};

// A measured rate moved to the common rate nearest to it among those no
// further from it than tolerance (relative: 0.001 is 0.1 %); else as it is.
double SnapFrameRate(double measured, double tolerance);

}  // namespace clip
