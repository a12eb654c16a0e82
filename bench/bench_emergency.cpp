// The burn phase of an emergency download: a 2 MiB image into the in-process
// simulated handset, its line paced at 460800 bit/s in both directions, at
// real pace (time scale 1).
//
// The flow's fixed waits (5 s before the burn, 30 s for the restart, ...)
// would swamp any figure, so the engine is set up as the emergency download
// leaves it (handset in its downloader, rate switched to 460800, initialised
// and erased) and BurnImage itself is measured, from its first write block
// to its return, which follows the last acknowledgement. Its own initial
// wait is excluded: the clock starts when the first block is sent.
//
// Prints, for each of three runs and as their minimum, median and maximum,
// the achieved payload throughput against the stop-and-wait limit of the
// line: the payload over the wire time of the frames actually sent (escaped
// write blocks with their three lead-in flags) and of the acknowledgement
// frames (target >= 98%), and the CPU time of the whole process (library
// and simulator) and of the calling thread as a share of the wall time
// (calling thread target <= 0.5%).
//
// Usage: bench_emergency [image bytes] [runs]   (default 2 MiB, 3 runs)
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "boundary/globals.h"
#include "diag/diag_link.h"
#include "flash/dl_common.h"
#include "ui/common_process.h"
#include "diag/frame_codec.h"
#include "flash/download_packets.h"
#include "platform/clock.h"
#include "services/download_codes.h"
#include "simulator.h"
#include "ui/operator_ui.h"
#include "wire/frame_link.h"
#include "wire/line_pacing.h"

namespace {

using zk::bench::CpuSeconds;
using zk::bench::WallSeconds;

namespace fs = std::filesystem;

constexpr uint32_t kLineRate = 460800;
constexpr int kPort = 7;
constexpr int kPortIndex = kPort - 1;
constexpr int kLeadInFlags = 3;

struct Stamp {
  double wall = 0, processCpu = 0, threadCpu = 0;
  static Stamp Now() { return {WallSeconds(), CpuSeconds(CLOCK_PROCESS_CPUTIME_ID), CpuSeconds(CLOCK_THREAD_CPUTIME_ID)}; }
};

// Starts the clock at the first event the link processes after the burn's
// status line is shown: the frame link does that just before it writes a
// frame, and nothing in the burn's initial wait does.
class BurnClockUi : public zk::ui::OperatorUi {
 public:
  void SetProgressText(zk::ui::ProgressControl control, const std::string& text) override {
    if (control == zk::ui::ProgressControl::Status && text == "Burning ...") armed_ = true;
  }
  void ProcessPendingEvents(int) override {
    if (armed_ && !start_) start_ = Stamp::Now();
  }
  const std::optional<Stamp>& start() const { return start_; }

 private:
  bool armed_ = false;
  std::optional<Stamp> start_;
};

std::vector<uint8_t> TestImage(std::size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t seed = 2024;
  for (auto& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

// Bytes on the wire for the whole burn: every write block as the frame
// link sends it (lead-in, escaped packet and check, final flag) and the
// handset's acknowledgement frame for each.
std::size_t WireBytes(const std::vector<uint8_t>& image, std::size_t& blocks) {
  auto request = std::make_unique<diag_req_pkt_type>();
  std::vector<uint8_t> frame(zk::diag::MaxEncodedSize(zk::flash::packet::kWriteBlock.length));
  const std::size_t ack = rb310::FrameAnswer(std::vector<uint8_t>{rb310::dl::kAck}).size();
  std::size_t total = 0;
  blocks = 0;
  for (std::size_t address = 0; address < image.size(); address += zk::flash::kBlockSize, ++blocks) {
    zk::flash::BuildWriteBlock(*request, image, static_cast<uint32_t>(address));
    const std::size_t length = zk::diag::EncodeFrame(
        request->req.bytes, static_cast<std::size_t>(zk::flash::packet::kWriteBlock.length), frame.data(), frame.size());
    total += kLeadInFlags + length + ack;
  }
  return total;
}

bool Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "bench_emergency: %s failed\n", what);
  return ok;
}

struct RunFigures {
  double burnSeconds = 0, wireSeconds = 0;
  double throughputShare = 0;  // achieved / stop-and-wait limit
  double handsetShare = 0;     // the same, seen from the handset's side
  double processCpuShare = 0, threadCpuShare = 0;
};

// One burn of `image` into a fresh simulated handset; nullopt when any step
// failed or the handset's flash does not hold the image afterwards.
std::optional<RunFigures> RunOnce(const std::vector<uint8_t>& image, const fs::path& home) {
  const fs::path imagePath = home / "rescue.bin";
  std::ofstream(imagePath, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));

  rb310::SimOptions options;
  options.line.port = kPort;
  options.stateDir = home / "state";
  std::error_code ignored;
  fs::remove_all(options.stateDir, ignored);
  options.personality.startInDownloader = true;  // a physical line: the rate switch is needed
  options.line.paceBaud = kLineRate;
  rb310::Simulator simulator(options);
  std::string error;
  if (!simulator.Start(error)) {
    std::fprintf(stderr, "bench_emergency: %s\n", error.c_str());
    return std::nullopt;
  }

  BurnClockUi ui;
  g_commonProcess.SetOperatorUi(&ui);

  // The engine as the emergency download leaves it before its burn.
  auto& engine = g_dlCommon;
  auto& comm = g_diagLink.m_comm;
  g_diagLink.SetLinkParams(0, kPortIndex, 0, 0, -1);
  engine.SetMainImagePath(imagePath.string());
  engine.m_mainLoaded = false;
  engine.m_skipOffline = true;
  bool ready = Check(engine.LoadMainImage() == 1, "loading the image") &&
               Check(g_diagLink.OpenPort(kPortIndex), "opening the port");
  g_commonProcess.OpenProgressWindow();
  g_diagLink.m_downloadMode = 1;
  ready = ready && Check(comm.SetComBaudRate(115200) == 1, "115200 bit/s") &&
          Check(engine.SelectFastRate(1), "the rate switch") && Check(comm.SetComBaudRate(kLineRate) == 1, "460800 bit/s") &&
          Check(engine.Initialize(), "initialise") && Check(engine.Erase(), "erase");

  std::optional<Stamp> start, end;
  bool burned = false;
  if (ready) {
    burned = engine.BurnImage();
    end = Stamp::Now();
    start = ui.start();
    burned = Check(burned, "the burn") && Check(start.has_value(), "the burn clock") &&
             Check(engine.Finalize(), "finalise") && Check(engine.DownloaderReset(), "reset");
  }
  g_commonProcess.CloseProgressWindow();
  g_commonProcess.SetOperatorUi(nullptr);
  g_diagLink.ClosePort();

  std::ifstream in(options.stateDir / "flash" / "main_image.bin", std::ios::binary);
  const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(in)), {});
  const bool identical = burned && Check(stored == image, "the byte-for-byte comparison");

  // The handset's side: from the arrival of the first write block to that
  // of the last one (millisecond stamps), which spans one exchange fewer.
  int64_t firstWriteMs = -1, lastWriteMs = -1;
  for (const auto& entry : simulator.transcript()) {
    if (entry.kind != "download" || entry.code != rb310::dl::kWrite) continue;
    if (firstWriteMs < 0) firstWriteMs = entry.timeMs;
    lastWriteMs = entry.timeMs;
  }
  simulator.Stop();
  if (!identical) return std::nullopt;

  std::size_t blocks = 0;
  const std::size_t wireBytes = WireBytes(image, blocks);
  RunFigures figures;
  figures.wireSeconds = static_cast<double>(wireBytes) * rb310::ByteTimeMs(kLineRate) / 1000.0;
  figures.burnSeconds = end->wall - start->wall;
  figures.throughputShare = figures.wireSeconds / figures.burnSeconds;
  if (blocks > 1 && lastWriteMs > firstWriteMs) {
    const double perBlockWire = figures.wireSeconds / static_cast<double>(blocks);
    figures.handsetShare = perBlockWire * static_cast<double>(blocks - 1) /
                           (static_cast<double>(lastWriteMs - firstWriteMs) / 1000.0);
  }
  figures.processCpuShare = (end->processCpu - start->processCpu) / figures.burnSeconds;
  figures.threadCpuShare = (end->threadCpu - start->threadCpu) / figures.burnSeconds;
  return figures;
}

struct Spread {
  double min, median, max;
};

Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values.front(), values[values.size() / 2], values.back()};
}

void PrintSpread(const char* what, std::vector<double> shares, const char* target) {
  const Spread spread = SpreadOf(std::move(shares));
  std::printf("  %-32s min %6.2f %%  median %6.2f %%  max %6.2f %%   (%s)\n", what, 100.0 * spread.min,
              100.0 * spread.median, 100.0 * spread.max, target);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t imageBytes = argc > 1 ? std::strtoul(argv[1], nullptr, 0) : std::size_t{2} << 20;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  zk::platform::SetTimeScale(1.0);

  std::string home = (fs::temp_directory_path() / "zk-bench-XXXXXX").string();
  if (mkdtemp(home.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  setenv("ZKDOWNLOAD_HOME", home.c_str(), 1);
  zk::boundary::ResetLibraryState();  // take the settings just made

  const std::vector<uint8_t> image = TestImage(imageBytes);
  std::size_t blocks = 0;
  const std::size_t wireBytes = WireBytes(image, blocks);
  std::printf("emergency burn: %zu bytes in %zu blocks at %u bit/s, paced both ways, %d runs\n", image.size(),
              blocks, kLineRate, runs);
  std::printf("  wire bytes (lead-in + escaped frames + acknowledgements): %zu (%.2f%% payload)\n", wireBytes,
              100.0 * static_cast<double>(image.size()) / static_cast<double>(wireBytes));

  std::vector<double> throughput, handset, processCpu, threadCpu;
  for (int run = 1; run <= runs; ++run) {
    const auto figures = RunOnce(image, home);
    if (!figures) {
      std::error_code ignored;
      fs::remove_all(home, ignored);
      return 1;
    }
    std::printf("  run %d: burn %.3f s (wire %.3f s), %.2f %% of the limit, handset's view %.2f %%, "
                "CPU process %.2f %%, calling thread %.2f %%\n",
                run, figures->burnSeconds, figures->wireSeconds, 100.0 * figures->throughputShare,
                100.0 * figures->handsetShare, 100.0 * figures->processCpuShare, 100.0 * figures->threadCpuShare);
    throughput.push_back(figures->throughputShare);
    handset.push_back(figures->handsetShare);
    processCpu.push_back(figures->processCpuShare);
    threadCpu.push_back(figures->threadCpuShare);
  }
  std::error_code ignored;
  fs::remove_all(home, ignored);

  PrintSpread("throughput / stop-and-wait limit", throughput, "target >= 98 % as the minimum");
  PrintSpread("handset's view (blocks 2..n)", handset, "for comparison");
  PrintSpread("CPU, whole process", processCpu, "of wall time");
  PrintSpread("CPU, calling thread", threadCpu, "target <= 0.5 % as the maximum");
  return 0;
}
