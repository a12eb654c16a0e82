// NV backup read with the option flag (514 NV reads) from the simulated
// handset, whose line carries 115200 bit/s each way, at full time scale:
// the share of the wire limit the reads achieve (line time of the escaped
// frame bytes exchanged, both ways, as the simulator counted them, against
// the pass's wall time) and the CPU its calling thread burns meanwhile.
// The unlock before the reads (its key presses wait 100 ms each) runs
// before the measured pass. Three runs, each printed, then min/median/max.
#include <stdlib.h>
#include <time.h>

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
#include "nv/nv_backup.h"
#include "nv/nv_catalogue.h"
#include "platform/clock.h"
#include "simulator.h"

namespace {

using zk::bench::CpuSeconds;
namespace fs = std::filesystem;

constexpr int kPort = 5;
constexpr uint32_t kLineRate = 115200;
constexpr double kBitsPerByte = 10;  // start, eight data bits, stop
constexpr int kRuns = 3;

// Every calibration item holds a value, so that answers carry data.
void SeedNv(const fs::path& nv) {
  fs::create_directories(nv);
  for (const auto& entry : zk::nv::CalibrationList()) {
    std::string field(128, '\0');
    for (std::size_t i = 0; i < 16; ++i) field[i] = static_cast<char>(entry.item + i + 1);
    std::ofstream(nv / (std::to_string(entry.item) + ".bin"), std::ios::binary) << field;
  }
}

using Run = zk::bench::PacedRun;

}  // namespace

int main() {
  char home[] = "/tmp/zkbench-nv-XXXXXX";
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
  SeedNv(options.stateDir / "nv");
  rb310::Simulator sim(options);
  std::string error;
  if (!sim.Start(error)) return std::fprintf(stderr, "simulator: %s\n", error.c_str()), 1;

  // The pass itself, through the library's link; the unlock is done before.
  CNVBackup nv(g_diagLink, {[] { return true; }, [] { return true; }, [] { return true; }});
  std::printf("NV backup read with the option flag (%d reads), %u bit/s both ways (simulated line)\n",
              zk::nv::kFullPassSteps, kLineRate);
  std::vector<Run> runs;
  for (int i = 0; i < kRuns; ++i) {
    g_diagLink.SetLinkParams(2, kPort - 1, 0, 0, -1);
    g_diagLink.SetSpcCode("");
    if (g_diagLink.EnterDiagMode(kPort - 1) != kDiagModeEntered ||
        g_diagLink.UnlockAndTypeCode() != zk::diag::UnlockResult::kUnlocked) {
      std::fprintf(stderr, "run %d: no diagnostic mode or no unlock\n", i + 1);
      break;
    }
    const uint64_t lineBytesBefore = sim.bytesFromHost() + sim.bytesToHost();
    const double threadCpuStart = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    const int result = nv.BackupRead(true);
    Run run;
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    const double threadCpuMs = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadCpuStart;
    g_diagLink.ClosePort();
    run.bytes = static_cast<long>(sim.bytesFromHost() + sim.bytesToHost() - lineBytesBefore);
    run.wireShare = 100.0 * (static_cast<double>(run.bytes) * kBitsPerByte * 1000.0 / kLineRate) / run.wallMs;
    run.threadCpuShare = 100.0 * threadCpuMs / run.wallMs;
    run.good = result == CNVBackup::kDone && nv.m_flags.Get(zk::nv::ListId::Calibration, 0, 0) == 1;
    std::printf("  run %d: result %d (%s), %ld bytes on the line, wall %.1f ms, wire share %.2f %%, "
                "thread CPU %.3f %%\n",
                i + 1, result, run.good ? "read" : "FAILED", run.bytes, run.wallMs, run.wireShare,
                run.threadCpuShare);
    runs.push_back(run);
  }
  sim.Stop();

  const bool good = zk::bench::PrintPacedSummary(runs, kRuns, "", "");
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return good ? 0 : 1;
}
