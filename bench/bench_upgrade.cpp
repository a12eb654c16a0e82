// A kind-0 upgrade (the staged sequence, without PRL, ERI or script) of a
// 1 MiB image into the in-process simulated handset, whose line carries
// 115200 bit/s each way, at full time scale.
//
// The flow's wall time is set against what it cannot go below: the fixed
// waits it asked for (every sleep the library requested, as the wait
// recorder wrote them down) plus the line time of every byte that crossed
// the line, both ways (the simulator counts them as escaped on the wire).
// The handset restarts within the flow's own restart wait, so no time-out
// hides in the figure. Also the CPU the calling thread burns meanwhile.
//
// Prints each of three runs, then min/median/max (targets: ratio <= 1.02,
// calling thread CPU < 1 %).
//
// Usage: bench_upgrade [image bytes] [runs]   (default 1 MiB, 3 runs)
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "boundary/globals.h"
#include "operations/upgrade_download.h"
#include "platform/clock.h"
#include "simulator.h"

namespace {

using zk::bench::CpuSeconds;
namespace fs = std::filesystem;

constexpr int kPort = 5;
constexpr uint32_t kLineRate = 115200;
constexpr double kBitsPerByte = 10;  // start, eight data bits, stop

// An image the simulated handset restarts into with version `version`.
void WriteImage(const fs::path& file, std::size_t bytes, const std::string& version) {
  std::string image = "RB310VER=" + version;
  image.reserve(bytes);
  for (std::size_t i = image.size(); i < bytes; ++i) image += static_cast<char>((i * 131) ^ (i >> 9));
  std::ofstream(file, std::ios::binary) << image;
}

struct UpgradeRun {
  double wallMs = 0;
  double floorMs = 0;  // fixed waits + line time
  double waitsMs = 0;
  double lineMs = 0;
  double threadCpuShare = 0;
  int result = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t imageBytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1u << 20;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  char home[] = "/tmp/zkbench-upgrade-XXXXXX";
  if (mkdtemp(home) == nullptr) return std::perror("mkdtemp"), 1;
  const fs::path dir(home);
  setenv("ZKDOWNLOAD_HOME", home, 1);
  unsetenv("ZKDOWNLOAD_TRACE");  // no wire trace: it would cost the calling thread CPU of its own
  zk::boundary::ResetLibraryState();
  zk::platform::SetTimeScale(1.0);

  rb310::SimOptions options;
  options.line.port = kPort;
  options.stateDir = dir / "state";
  options.line.paceBaud = kLineRate;
  options.personality.restartDelayMs = 100;  // well inside the flow's restart waits
  rb310::Simulator sim(options);
  std::string error;
  if (!sim.Start(error)) return std::fprintf(stderr, "simulator: %s\n", error.c_str()), 1;

  std::printf("kind-0 upgrade of a %zu-byte image, %u bit/s both ways (simulated line), time scale 1\n", imageBytes,
              kLineRate);
  std::vector<UpgradeRun> done;
  for (int i = 0; i < runs; ++i) {
    char version[16];
    std::snprintf(version, sizeof(version), "R310V%03d", 200 + i);
    const fs::path image = dir / ("image" + std::to_string(i) + ".bin");
    WriteImage(image, imageBytes, version);
    CUpgradeDownload::Request request;
    request.kind = 0;
    request.imagePath = image.string();
    request.portIndex = kPort - 1;

    const uint64_t lineBytesBefore = sim.bytesFromHost() + sim.bytesToHost();
    zk::platform::WaitRecorder waits;  // sleeps as asked, and writes each one down
    const double threadCpuStart = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    UpgradeRun run;
    run.result = g_upgradeDownload.Run(request);
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    const double threadCpuMs = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadCpuStart;
    const auto asked = waits.Waits();
    run.waitsMs = static_cast<double>(std::accumulate(asked.begin(), asked.end(), int64_t{0}));
    const auto lineBytes = static_cast<double>(sim.bytesFromHost() + sim.bytesToHost() - lineBytesBefore);
    run.lineMs = lineBytes * kBitsPerByte * 1000.0 / kLineRate;
    run.floorMs = run.waitsMs + run.lineMs;
    run.threadCpuShare = 100.0 * threadCpuMs / run.wallMs;
    std::printf("  run %d: result %d, wall %.1f ms, fixed waits %.1f ms + line %.1f ms = %.1f ms, ratio %.4f, "
                "thread CPU %.3f %%\n",
                i + 1, run.result, run.wallMs, run.waitsMs, run.lineMs, run.floorMs, run.wallMs / run.floorMs,
                run.threadCpuShare);
    done.push_back(run);
  }
  sim.Stop();

  bool good = static_cast<int>(done.size()) == runs && runs > 0;
  std::vector<double> ratios, cpus, walls;
  for (const UpgradeRun& run : done) {
    good = good && run.result == 1;
    ratios.push_back(run.wallMs / run.floorMs);
    cpus.push_back(run.threadCpuShare);
    walls.push_back(run.wallMs);
  }
  if (!done.empty()) {
    const auto ratio = zk::bench::MinMedianMax(ratios), cpu = zk::bench::MinMedianMax(cpus),
               wall = zk::bench::MinMedianMax(walls);
    std::printf("  wall time (ms)                     min %9.1f  median %9.1f  max %9.1f\n", wall[0], wall[1], wall[2]);
    std::printf("  wall / (fixed waits + line time)   min %9.4f  median %9.4f  max %9.4f   (target <= 1.02)\n",
                ratio[0], ratio[1], ratio[2]);
    std::printf("  calling thread CPU                 min %8.3f%%  median %8.3f%%  max %8.3f%%   (target < 1 %%)\n",
                cpu[0], cpu[1], cpu[2]);
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return good ? 0 : 1;
}
