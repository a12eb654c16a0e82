// Wall and CPU time readings for the operation benchmarks, and the
// min/median/max their reports print.
#pragma once

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdio>
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

// Prints the min/median/max lines of `runs` (each target note, such as
// "   (target < 1 %)", follows its line; "" for none). True when all
// `expected` runs were made and each one was good.
inline bool PrintPacedSummary(const std::vector<PacedRun>& runs, std::size_t expected, const char* shareTarget,
                              const char* cpuTarget) {
  std::vector<double> shares, cpus, walls;
  bool good = runs.size() == expected;
  for (const PacedRun& run : runs) {
    shares.push_back(run.wireShare);
    cpus.push_back(run.threadCpuShare);
    walls.push_back(run.wallMs);
    good = good && run.good;
  }
  if (runs.empty()) return good;
  const auto share = MinMedianMax(shares), cpu = MinMedianMax(cpus), wall = MinMedianMax(walls);
  std::printf("  wall time (ms)            min %9.1f  median %9.1f  max %9.1f\n", wall[0], wall[1], wall[2]);
  std::printf("  share of the wire limit   min %8.2f%%  median %8.2f%%  max %8.2f%%%s\n", share[0], share[1], share[2],
              shareTarget);
  std::printf("  calling thread CPU        min %8.3f%%  median %8.3f%%  max %8.3f%%%s\n", cpu[0], cpu[1], cpu[2],
              cpuTarget);
  return good;
}

}  // namespace zk::bench
