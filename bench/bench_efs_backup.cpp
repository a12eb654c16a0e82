// EFS backup of a 1 MiB tree (200 files in 20 directories) from the
// simulated handset, whose line carries 115200 bit/s each way, at full time
// scale: the share of the wire limit the backup achieves (line time of the
// escaped frame bytes it exchanged, both ways, as the simulator counted them
// crossing the line, against its wall time) and the CPU its calling thread
// burns meanwhile. Three runs, each printed, then min/median/max.
//
// Plain main: each run takes about half a minute.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "boundary/globals.h"
#include "diag/diag_link.h"
#include "efs/efs_download.h"
#include "platform/clock.h"
#include "simulator.h"

namespace {

using zk::bench::CpuSeconds;
namespace fs = std::filesystem;

constexpr int kPort = 5;
constexpr uint32_t kLineRate = 115200;
constexpr double kBitsPerByte = 10;  // start, eight data bits, stop
constexpr int kDirectories = 20;
constexpr int kFilesPerDirectory = 10;
constexpr std::size_t kTreeBytes = 1024 * 1024;
constexpr int kRuns = 3;

// 200 files of 5242 or 5243 bytes (1 MiB in all) in /data/g<k>/d<j>.
std::vector<std::pair<fs::path, std::string>> SeedTree(const fs::path& efs) {
  std::vector<std::pair<fs::path, std::string>> files;
  const int count = kDirectories * kFilesPerDirectory;
  const std::size_t base = kTreeBytes / count, extra = kTreeBytes % count;
  for (int i = 0; i < count; ++i) {
    const int directory = i / kFilesPerDirectory;
    const fs::path relative = fs::path("data") / ("g" + std::to_string(directory / 5)) /
                              ("d" + std::to_string(directory % 5)) / ("f" + std::to_string(i) + ".bin");
    std::string bytes(base + (static_cast<std::size_t>(i) < extra ? 1 : 0), '\0');
    for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>((b * 131 + i * 7 + b / 89) & 0xFF);
    fs::create_directories((efs / relative).parent_path());
    std::ofstream(efs / relative, std::ios::binary) << bytes;
    files.emplace_back(relative, std::move(bytes));
  }
  return files;
}

bool SameTree(const fs::path& backup, const std::vector<std::pair<fs::path, std::string>>& files) {
  for (const auto& [relative, bytes] : files) {
    std::ifstream in(backup / relative, std::ios::binary);
    const std::string got{std::istreambuf_iterator<char>(in), {}};
    if (got != bytes) return false;
  }
  return true;
}

using Run = zk::bench::PacedRun;

}  // namespace

int main() {
  char home[] = "/tmp/zkbench-efs-XXXXXX";
  if (mkdtemp(home) == nullptr) return std::perror("mkdtemp"), 1;
  const fs::path dir(home);
  setenv("ZKDOWNLOAD_HOME", home, 1);
  // No wire trace: writing it would cost the calling thread CPU of its own.
  // The simulator counts the bytes that cross the line instead.
  unsetenv("ZKDOWNLOAD_TRACE");
  zk::boundary::ResetLibraryState();  // take the settings just made
  zk::platform::SetTimeScale(1.0);

  rb310::SimOptions options;
  options.line.port = kPort;
  options.stateDir = dir / "state";
  options.line.paceBaud = kLineRate;
  const auto files = SeedTree(options.stateDir / "efs");
  rb310::Simulator sim(options);
  std::string error;
  if (!sim.Start(error)) return std::fprintf(stderr, "simulator: %s\n", error.c_str()), 1;

  std::printf("EFS backup of %zu bytes in %zu files, %d directories, %u bit/s both ways (simulated line)\n",
              kTreeBytes, files.size(), kDirectories, kLineRate);
  std::vector<Run> runs;
  for (int i = 0; i < kRuns; ++i) {
    g_diagLink.SetLinkParams(2, kPort - 1, 0, 0, -1);
    if (g_diagLink.EnterDiagMode(kPort - 1) != kDiagModeEntered) {
      std::fprintf(stderr, "run %d: no diagnostic mode\n", i + 1);
      break;
    }
    const uint64_t lineBytesBefore = sim.bytesFromHost() + sim.bytesToHost();
    const double threadCpuStart = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    const int result = g_efsDownload.EfsBackup((dir / "bk").string(), kPort - 1);
    Run run;
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    const double threadCpuMs = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadCpuStart;
    g_diagLink.ClosePort();
    run.bytes = static_cast<long>(sim.bytesFromHost() + sim.bytesToHost() - lineBytesBefore);
    run.wireShare = 100.0 * (static_cast<double>(run.bytes) * kBitsPerByte * 1000.0 / kLineRate) / run.wallMs;
    run.threadCpuShare = 100.0 * threadCpuMs / run.wallMs;
    run.good = result == CEfsDownload::kDone && SameTree(dir / "bk" / ("Efs_COM" + std::to_string(kPort)), files);
    std::printf("  run %d: result %d (%s), %ld bytes on the line, wall %.1f ms, wire share %.2f %%, "
                "thread CPU %.3f %%\n",
                i + 1, result, run.good ? "tree copied" : "FAILED", run.bytes, run.wallMs, run.wireShare,
                run.threadCpuShare);
    runs.push_back(run);
  }
  sim.Stop();

  const bool good = zk::bench::PrintPacedSummary(runs, kRuns, "   (target >= 90 %)", "   (target < 1 %)");
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return good ? 0 : 1;
}
