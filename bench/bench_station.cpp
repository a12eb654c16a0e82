// The service station serving 16 simulated handsets at once: a kind-0
// upgrade of a 256 KiB image on each, at time scale 0.05, against the same
// upgrade on one handset alone. Every handset is a real rb310-sim process on
// its own pty; the station and its workers are the real zkdownload command.
//
// A warm-up round comes first (printed, not counted). Prints, as
// min/median/max of the runs:
//   - wall time of 16 at once / wall time of one alone (target <= 1.15);
//   - CPU time of the station and all its workers / wall time, as a share of
//     one core (target < 5 %). The simulators' own CPU is not counted;
//   - the floor under that share on this machine: the requests each handset
//     took (counted from the simulators' transcripts) times the CPU of a bare
//     exchange over a pty (flush, write, poll, read: what every request
//     costs before any protocol work), for 16 handsets over the same wall
//     time.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_clock.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFirstPort = 5;
constexpr const char* kTimeScale = "0.05";

pid_t Spawn(const std::vector<std::string>& argv, const fs::path& output) {
  std::fflush(stdout);  // nothing buffered may be written twice
  const pid_t pid = fork();
  if (pid == 0) {
    const FILE* out = std::freopen(output.c_str(), "a", stdout);
    (void)out;
    dup2(STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU microseconds one bare exchange costs the asking side: flush the port,
// write a 140-byte request, poll, read a 4-byte answer. A child process on
// the pty's other side answers every request at once. Negative on failure.
double BareExchangeCpuMicroseconds(int exchanges) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  const int line = open(ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (line < 0) return -1;
  termios raw{};
  tcgetattr(line, &raw);
  cfmakeraw(&raw);
  tcsetattr(line, TCSANOW, &raw);
  std::fflush(stdout);
  const pid_t peer = fork();
  if (peer == 0) {
    close(line);
    unsigned char request[4096];
    const unsigned char answer[] = {0x02, 0x6A, 0xD3, 0x7E};
    for (ssize_t got; (got = read(master, request, sizeof(request))) > 0;)
      if (request[got - 1] == 0x7E && write(master, answer, sizeof(answer)) != sizeof(answer)) break;
    _exit(0);
  }
  unsigned char request[140];
  for (std::size_t i = 0; i < sizeof(request); ++i) request[i] = static_cast<unsigned char>(i * 7 + 1);
  request[sizeof(request) - 1] = 0x7E;
  unsigned char answer[2048];
  bool good = true;
  const double before = zk::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  for (int i = 0; i < exchanges && good; ++i) {
    ioctl(line, TCFLSH, TCIOFLUSH);
    good = write(line, request, sizeof(request)) == static_cast<ssize_t>(sizeof(request));
    for (bool ended = false; good && !ended;) {
      pollfd pfd{line, POLLIN, 0};
      good = poll(&pfd, 1, 1000) == 1;
      const ssize_t got = good ? read(line, answer, sizeof(answer)) : -1;
      if (got > 0) ended = answer[got - 1] == 0x7E;
      else good = got < 0 && errno == EAGAIN;
    }
  }
  const double cpu = zk::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - before;
  close(line);
  close(master);
  waitpid(peer, nullptr, 0);
  return good ? cpu * 1e6 / exchanges : -1;
}

// Requests the simulators took so far: one transcript line each.
long TranscribedRequests(const std::vector<fs::path>& transcripts) {
  long lines = 0;
  for (const auto& transcript : transcripts) {
    std::ifstream in(transcript);
    for (std::string line; std::getline(in, line);) ++lines;
  }
  return lines;
}

struct StationRun {
  double wallSeconds = 0;
  double cpuSeconds = 0;  // station and workers
  bool good = false;
};

// One station run over `ports` handsets, one upgrade each. The simulators'
// CPU is kept out: they are reaped only at the end, after every reading.
StationRun RunStation(const fs::path& dir, int ports, const fs::path& image) {
  std::string list;
  for (int i = 0; i < ports; ++i) list += (i ? ",COM" : "COM") + std::to_string(kFirstPort + i);
  const double cpuBefore = ChildrenCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const pid_t station =
      Spawn({ZK_CLI_EXECUTABLE, "--ui", "none", "station", "--ports", list, "--count", "1", "--log-dir",
             (dir / "logs").string(), "upgrade", "--kind", "0", image.string()},
            dir / ("station-" + std::to_string(ports) + ".out"));
  int status = 0;
  waitpid(station, &status, 0);
  StationRun run;
  run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = ChildrenCpuSeconds() - cpuBefore;
  run.good = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int handsets = argc > 1 ? std::atoi(argv[1]) : 16;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  char home[] = "/tmp/zkbench-station-XXXXXX";
  if (mkdtemp(home) == nullptr) return std::perror("mkdtemp"), 1;
  const fs::path dir(home);
  setenv("ZKDOWNLOAD_HOME", home, 1);
  setenv("ZKDOWNLOAD_TIME_SCALE", kTimeScale, 1);
  unsetenv("ZKDOWNLOAD_TRACE");

  // The simulators run for the whole benchmark; their restarts after the
  // burn scale with the time scale like the station's waits.
  std::vector<pid_t> sims;
  std::vector<fs::path> transcripts;
  for (int i = 0; i < handsets; ++i) {
    const std::string port = "COM" + std::to_string(kFirstPort + i);
    transcripts.push_back(dir / ("transcript-" + port + ".jsonl"));
    sims.push_back(Spawn({ZK_SIM_EXECUTABLE, "--port", port, "--state", (dir / ("state-" + port)).string(),
                          "--transcript", transcripts.back().string()},
                         dir / ("sim-" + port + ".out")));
  }
  for (int i = 0; i < handsets; ++i) {
    const fs::path entry = dir / "ports" / ("COM" + std::to_string(kFirstPort + i));
    for (int wait = 0; wait < 200 && !fs::exists(entry); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  std::fflush(stdout);
  std::printf("station: kind-0 upgrade of a 256 KiB image, time scale %s; %d handsets at once against one alone\n",
              kTimeScale, handsets);
  std::vector<double> ratios, shares, floors;
  bool good = true;
  // Round 0 warms up: a fresh simulated handset has no NV item files yet
  // and creates all of them in its first restore, which a handset in
  // service never does. It is printed, not counted.
  for (int r = 0; r <= runs; ++r) {
    char version[16];
    std::snprintf(version, sizeof(version), "R310V%03d", 300 + r);
    const fs::path image = dir / ("image" + std::to_string(r) + ".bin");
    std::string bytes = std::string("RB310VER=") + version;
    for (std::size_t i = bytes.size(); i < 256 * 1024; ++i) bytes += static_cast<char>((i * 131) ^ (i >> 9));
    std::ofstream(image, std::ios::binary) << bytes;

    const StationRun alone = RunStation(dir, 1, image);
    const long requestsBefore = TranscribedRequests(transcripts);
    const StationRun many = RunStation(dir, handsets, image);
    const long requests = TranscribedRequests(transcripts) - requestsBefore;
    const double exchangeUs = BareExchangeCpuMicroseconds(5000);
    const double ratio = many.wallSeconds / alone.wallSeconds;
    const double share = 100.0 * many.cpuSeconds / many.wallSeconds;
    const double floor = 100.0 * static_cast<double>(requests) * exchangeUs / 1e6 / many.wallSeconds;
    const std::string name = r == 0 ? "warm-up" : "run " + std::to_string(r);
    std::printf("  %s: one alone %.2f s, %d at once %.2f s (ratio %.3f); station CPU %.2f s = %.2f %% of one core%s\n",
                name.c_str(), alone.wallSeconds, handsets, many.wallSeconds, ratio, many.cpuSeconds, share,
                alone.good && many.good ? "" : "  (a handset failed: see the station's output in the work directory)");
    std::printf("    floor: %ld requests x %.1f us per bare pty exchange = %.2f %% of one core\n", requests,
                exchangeUs, floor);
    good = good && alone.good && many.good && exchangeUs > 0;
    if (r == 0) continue;
    ratios.push_back(ratio);
    shares.push_back(share);
    floors.push_back(floor);
  }
  for (const pid_t sim : sims) kill(sim, SIGTERM);
  for (const pid_t sim : sims) waitpid(sim, nullptr, 0);

  const auto ratio = zk::bench::MinMedianMax(ratios), share = zk::bench::MinMedianMax(shares),
             least = zk::bench::MinMedianMax(floors);
  std::printf("  wall, %d at once / one alone  min %6.3f  median %6.3f  max %6.3f   (target <= 1.15)\n", handsets,
              ratio[0], ratio[1], ratio[2]);
  std::printf("  station CPU, share of a core  min %5.2f%%  median %5.2f%%  max %5.2f%%   (target < 5 %%)\n", share[0],
              share[1], share[2]);
  std::printf("  floor of that share (bare exchanges)  min %5.2f%%  median %5.2f%%  max %5.2f%%\n", least[0], least[1],
              least[2]);
  if (good) fs::remove_all(dir);
  else std::printf("  work directory kept: %s\n", home);
  return good ? 0 : 1;
}
