// Diagnostic mode entry against a simulated handset that is already in
// diagnostic mode at 115200 bit/s, at real pace (time scale 1).
//
// On that path every exchange is answered at once, so the entry should take
// little more than its fixed waits: the two pauses after the AT commands,
// the settle time between the offline request and its status check, and the
// pause before the entry's own status request. Prints the measured wall time
// against that sum, and the CPU time of the calling thread (the library's
// work) and of the whole process (simulator included) as a share of it.
//
// Usage: bench_enter_diag_mode [runs]   (default 5)
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_clock.h"
#include "boundary/globals.h"
#include "diag/diag_link.h"
#include "diag/link_timing.h"
#include "platform/clock.h"
#include "simulator.h"

namespace {

using zk::bench::CpuSeconds;
using zk::bench::WallSeconds;

// The fixed waits on the path of a handset already in diagnostic mode that
// answers everything at once.
constexpr int kFixedWaitsMs = 2 * zk::diag::entry::kAtPauseMs + zk::diag::pace::kOfflineSettleMs +
                              zk::diag::entry::kStatusPauseMs;

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  zk::platform::SetTimeScale(1.0);

  std::string home = (std::filesystem::temp_directory_path() / "zk-bench-XXXXXX").string();
  if (mkdtemp(home.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  setenv("ZKDOWNLOAD_HOME", home.c_str(), 1);
  zk::boundary::ResetLibraryState();  // take the settings just made

  rb310::SimOptions options;
  options.line.port = 5;
  options.stateDir = std::filesystem::path(home) / "state";
  options.personality.startInDm = true;
  options.personality.dmBaud = 115200;
  int status = 0;
  {
    rb310::Simulator sim(options);
    std::string error;
    if (!sim.Start(error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      return 1;
    }

    std::printf("EnterDiagMode, handset already in diagnostic mode at 115200 bit/s, time scale 1\n");
    std::printf("fixed waits on this path: %d ms (2 x %d AT pauses + %d offline settle + %d status pause)\n\n",
                kFixedWaitsMs, zk::diag::entry::kAtPauseMs, zk::diag::pace::kOfflineSettleMs,
                zk::diag::entry::kStatusPauseMs);
    std::printf("%4s %10s %8s %14s %16s\n", "run", "wall ms", "ratio", "thread CPU %", "process CPU %");

    double totalWall = 0, totalThread = 0, totalProcess = 0;
    for (int run = 1; run <= runs; ++run) {
      const double wall0 = WallSeconds();
      const double thread0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
      const double process0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
      const int result = g_diagLink.EnterDiagMode(options.line.port - 1);
      const double wall = WallSeconds() - wall0;
      const double thread = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
      const double process = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
      g_diagLink.ClosePort();
      if (result != kDiagModeEntered) {
        std::fprintf(stderr, "run %d: EnterDiagMode returned %d\n", run, result);
        status = 1;
        break;
      }
      totalWall += wall;
      totalThread += thread;
      totalProcess += process;
      std::printf("%4d %10.1f %8.4f %13.3f%% %15.3f%%\n", run, wall * 1000, wall * 1000 / kFixedWaitsMs,
                  100 * thread / wall, 100 * process / wall);
    }
    if (status == 0) {
      const double meanWall = totalWall / runs;
      std::printf("\nmean wall %.1f ms, ratio to fixed waits %.4f (target <= 1.05)\n", meanWall * 1000,
                  meanWall * 1000 / kFixedWaitsMs);
      std::printf("CPU: calling thread %.3f%% of wall (target < 2%%), whole process with simulator %.3f%%\n",
                  100 * totalThread / totalWall, 100 * totalProcess / totalWall);
    }
    sim.Stop();
  }
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  return status;
}
