// One GetPacket against a handset that never answers, with the full 2000 ms
// time-out at time scale 1: the wait must sleep in poll(), not burn CPU.
// Reports the process CPU time spent against the wall time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "bench_clock.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "platform/port_map.h"
#include "zkdownload/zkcomm.h"

namespace {

constexpr int kTimeoutMs = 2000;

// A pty whose master nobody reads or writes: the silent handset. A slave
// descriptor stays open here so the port's close causes no hang-up.
struct SilentPty {
  int master = -1;
  int slave = -1;
  std::string path;
  SilentPty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
    char name[128];
    if (ptsname_r(master, name, sizeof(name)) != 0) return;
    path = name;
    slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave >= 0 && tcgetattr(slave, &raw) == 0) {
      cfmakeraw(&raw);
      tcsetattr(slave, TCSANOW, &raw);
    }
  }
  ~SilentPty() {
    if (slave >= 0) close(slave);
    if (master >= 0) close(master);
  }
};

void BM_SilentHandsetGetPacket(benchmark::State& state) {
  char home[] = "/tmp/zkbench-XXXXXX";
  if (mkdtemp(home) == nullptr) return state.SkipWithError("mkdtemp failed");
  setenv("ZKDOWNLOAD_HOME", home, 1);
  zk::platform::RefreshSettings();
  zk::platform::SetTimeScale(1.0);

  SilentPty pty;
  std::error_code error;
  if (pty.slave < 0 || !zk::platform::LinkPort(1, pty.path, std::nullopt, error))
    return state.SkipWithError("no pty");
  auto comm = std::make_unique<CZKComm>();
  if (comm->CommOpen(COM1, 115200) != 1) return state.SkipWithError("CommOpen failed");
  auto request = std::make_unique<diag_req_pkt_type>();
  auto response = std::make_unique<diag_rsp_pkt_type>();
  request->req.cmd_code = 0x00;

  double cpuMs = 0;
  double wallMs = 0;
  for (auto _ : state) {
    const double cpuStart = 1e3 * zk::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    const int result = comm->GetPacket(request.get(), response.get(), 1, kTimeoutMs, kDiagnosticMode);
    wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    cpuMs += 1e3 * zk::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    if (result != kExchangeNoFrame) state.SkipWithError("the silent handset answered");
  }
  state.counters["wall_ms"] = benchmark::Counter(wallMs, benchmark::Counter::kAvgIterations);
  state.counters["process_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
  state.counters["cpu_target_ms"] = 20;

  comm->CommClose();
  std::filesystem::remove_all(home, error);
}

BENCHMARK(BM_SilentHandsetGetPacket)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
