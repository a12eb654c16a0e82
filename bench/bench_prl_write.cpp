// One PRL write of a 4 KiB list at full time scale against the simulated
// handset, whose line carries 115200 bit/s each way: the flow's wall time against
// what it cannot go below (the fixed waits on its path plus the line time of
// the bytes it exchanged), and the CPU it burns meanwhile.
//
// Plain main: the run takes about half a minute, once.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "boundary/globals.h"
#include "operations/prl_down.h"
#include "diag/link_timing.h"
#include "platform/clock.h"
#include "simulator.h"

namespace {

using zk::bench::CpuSeconds;

namespace fs = std::filesystem;
using zk::diag::entry::kAtPauseMs;
using zk::diag::entry::kStatusPauseMs;
using zk::diag::pace::kKeyPauseMs;
using zk::diag::pace::kOfflineSettleMs;

constexpr int kPort = 5;
constexpr uint32_t kLineRate = 115200;
constexpr std::size_t kListBytes = 4096;
constexpr double kBitsPerByte = 10;  // start, eight data bits, stop

// The fixed waits of one PRL write to one NAM of a handset that answers
// everything at the first try (checked against the transcript below).
struct WaitPlan {
  int probeMs = 2 * kAtPauseMs;           // mode entry: after each of the two AT commands
  int entryOfflineMs = kOfflineSettleMs;  // mode entry: its offline request settling
  int entryStatusMs = kStatusPauseMs;     // mode entry: before the status request
  int offlineMs = kOfflineSettleMs;       // the offline step
  int unlockMs = 5 * kKeyPauseMs;         // after the keypad release, before and after each of two keys
  int unlockWaitMs = 2000;                // before the list goes out
  int listMs = 300 + 300;                 // before and after the file of the one NAM
  int beforeResetMs = 300;
  int resetOfflineMs = kOfflineSettleMs;  // the reset step takes the handset offline first
  int restartMs = 20 * 1000;              // twenty elapsed-time updates a second apart

  int Total() const {
    return probeMs + entryOfflineMs + entryStatusMs + offlineMs + unlockMs + unlockWaitMs + listMs + beforeResetMs +
           resetOfflineMs + restartMs;
  }
};

// Bytes of the frames and AT lines in the library's wire trace, per
// direction. The rate command goes out while the port is still at the AT
// rate; everything else at the line rate.
struct TraceBytes {
  long sent = 0;
  long sentAtAtRate = 0;
  long received = 0;
};

TraceBytes CountTrace(const fs::path& path) {
  static const std::string kRateCommand = " 41 54 24 51 43 44 4D 52";  // "AT$QCDMR"
  TraceBytes bytes;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string date, time, direction, count;
    fields >> date >> time >> direction >> count;  // "<date> <time> TX <n>: <hex bytes> | <what>"
    if (direction != "TX" && direction != "RX") continue;  // the header and notes
    const long n = std::stol(count);
    if (direction != "TX") bytes.received += n;
    else if (line.find(':' + kRateCommand) != std::string::npos) bytes.sentAtAtRate += n;
    else bytes.sent += n;
  }
  return bytes;
}

// AT answers are text, not frames, so the library's trace does not carry
// them: each answered line of the transcript note is "\r\n<word>\r\n".
long AtAnswerBytes(const std::vector<rb310::TranscriptEntry>& transcript) {
  long bytes = 0;
  for (const auto& entry : transcript) {
    if (entry.kind != "at" || !entry.answered) continue;
    std::istringstream words(entry.note.substr(0, entry.note.find(" -> ")));
    for (std::string word; words >> word;) bytes += static_cast<long>(word.size()) + 4;
  }
  return bytes;
}

int CountFrames(const std::vector<rb310::TranscriptEntry>& transcript, int code, int firstByte = -1) {
  int count = 0;
  for (const auto& entry : transcript) {
    if (entry.kind != "frame" || entry.code != code) continue;
    if (firstByte >= 0 && (entry.hex.size() < 4 || std::stoi(entry.hex.substr(2, 2), nullptr, 16) != firstByte))
      continue;
    ++count;
  }
  return count;
}

double WireMs(long bytes, uint32_t rate = kLineRate) {
  return static_cast<double>(bytes) * kBitsPerByte * 1000.0 / rate;
}

}  // namespace

int main() {
  char home[] = "/tmp/zkbench-prl-XXXXXX";
  if (mkdtemp(home) == nullptr) return std::perror("mkdtemp"), 1;
  const fs::path dir(home);
  setenv("ZKDOWNLOAD_HOME", home, 1);
  const fs::path trace = dir / "wire.trace";
  setenv("ZKDOWNLOAD_TRACE", trace.c_str(), 1);
  zk::boundary::ResetLibraryState();  // take the settings just made
  zk::platform::SetTimeScale(1.0);

  std::vector<uint8_t> list(kListBytes);
  for (std::size_t i = 0; i < list.size(); ++i) list[i] = static_cast<uint8_t>(i * 131 + i / 97);
  const fs::path source = dir / "bench.prl";
  std::ofstream(source, std::ios::binary).write(reinterpret_cast<const char*>(list.data()), list.size());

  rb310::SimOptions options;
  options.line.port = kPort;
  options.stateDir = dir / "state";
  options.line.paceBaud = kLineRate;
  options.personality.restartDelayMs = 100;  // well inside the flow's restart wait
  rb310::Simulator sim(options);
  std::string error;
  if (!sim.Start(error)) return std::fprintf(stderr, "simulator: %s\n", error.c_str()), 1;

  const double processCpuStart = 1e3 * CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double threadCpuStart = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const auto wallStart = std::chrono::steady_clock::now();
  const int result = g_prlDown.Write(0, "", "", source.c_str(), 0, kPort - 1, 0, 0, -1);
  const double wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
  const double threadCpuMs = 1e3 * CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadCpuStart;
  const double processCpuMs = 1e3 * CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processCpuStart;

  const auto transcript = sim.transcript();
  sim.Stop();
  std::ifstream stored(options.stateDir / "prl" / "nam0.bin", std::ios::binary);
  const std::vector<uint8_t> got{std::istreambuf_iterator<char>(stored), {}};

  // The wait plan holds only if every request was answered at the first try.
  const bool planHolds = CountFrames(transcript, 0x01) == 1 && CountFrames(transcript, 0x0C) == 4 &&
                         CountFrames(transcript, 0x29, 1) == 3 && CountFrames(transcript, 0x29, 2) == 1 &&
                         CountFrames(transcript, 0x20) == 2 &&
                         CountFrames(transcript, 0x48) == static_cast<int>((kListBytes + 39) / 40);

  const WaitPlan waits;
  const TraceBytes frames = CountTrace(trace);
  const long atAnswers = AtAnswerBytes(transcript);
  const long received = frames.received + atAnswers;
  const double sentMs = WireMs(frames.sent) + WireMs(frames.sentAtAtRate, zk::diag::entry::kAtRate);
  const double bound = waits.Total() + sentMs + WireMs(received);

  std::printf("PRL write of %zu bytes, %u bit/s both ways (simulated line), time scale 1\n", kListBytes, kLineRate);
  std::printf("  result                   %d (%s)\n", result, result == 1 && got == list ? "list stored" : "FAILED");
  std::printf("  requests                 %d PRL blocks, path as planned: %s\n", CountFrames(transcript, 0x48),
              planHolds ? "yes" : "NO (the wait sum does not apply)");
  std::printf("  wall time                %10.1f ms\n", wallMs);
  std::printf("  fixed waits on the path  %10d ms\n", waits.Total());
  std::printf("  bytes sent               %10ld (%ld of them at %d bit/s; %.1f ms)\n", frames.sent + frames.sentAtAtRate,
              frames.sentAtAtRate, zk::diag::entry::kAtRate, sentMs);
  std::printf("  bytes received           %10ld (%ld in frames, %ld AT answer text; %.1f ms)\n", received,
              frames.received, atAnswers, WireMs(received));
  std::printf("  waits + wire time        %10.1f ms\n", bound);
  std::printf("  ratio                    %10.4f    (target <= 1.05)\n", wallMs / bound);
  std::printf("  CPU, calling thread      %10.1f ms   %.3f %% of wall (target < 2 %%)\n", threadCpuMs,
              100.0 * threadCpuMs / wallMs);
  std::printf("  CPU, whole process       %10.1f ms   %.3f %% of wall (simulator thread included)\n", processCpuMs,
              100.0 * processCpuMs / wallMs);

  std::error_code ignored;
  // ZKBENCH_KEEP_TRACE=<file> keeps the wire trace for a closer look.
  if (const char* keep = std::getenv("ZKBENCH_KEEP_TRACE"); keep != nullptr && *keep != '\0')
    fs::copy_file(trace, keep, fs::copy_options::overwrite_existing, ignored);
  fs::remove_all(dir, ignored);
  return result == 1 && got == list && planHolds ? 0 : 1;
}
