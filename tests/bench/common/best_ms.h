// The best of several timed runs of f, in milliseconds: the run least
// disturbed by the rest of the machine.
#pragma once

#include <algorithm>
#include <chrono>

template <typename F>
double BestMs(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}
