// Wall and CPU time readings for the operation benchmarks, and the
// min/median/max their reports print.
#pragma once

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

namespace zk::bench {

inline double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One run of a paced-line benchmark, as measured.
struct PacedRun {
  double wallMs = 0;
  double wireShare = 0;
  double threadCpuShare = 0;
  long bytes = 0;
  bool good = false;
};

inline std::array<double, 3> MinMedianMax(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values.front(), values[values.size() / 2], values.back()};
}

}  // namespace zk::bench
