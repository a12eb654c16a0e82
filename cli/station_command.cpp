#include "station_command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "command_result.h"
#include "operation_options.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "port_option.h"
#include "station_dashboard.h"
#include "station_port.h"
#include "station_worker.h"

namespace zk::cli {
namespace {

using Clock = std::chrono::steady_clock;

struct StationOptions {
  std::string ports;
  int count = 0;
  double pauseSeconds = 10;
  std::string logDirectory;
};

// How often the table is redrawn while nothing else happens.
constexpr int kRedrawMs = 250;
// The shortest round of the loop: the workers' events are read in batches
// (a pipe holds far more than a tenth of a second of them), so sixteen busy
// workers do not wake the station for every line they send.
constexpr auto kMinimumRound = std::chrono::milliseconds(100);

// Ctrl-C (and SIGTERM) only count; the loop reads the count.
volatile std::sig_atomic_t g_stopRequests = 0;
int g_wakeFd = -1;

void OnStopSignal(int) {
  g_stopRequests = g_stopRequests + 1;
  if (g_wakeFd >= 0) {
    const char byte = 0;
    (void)!::write(g_wakeFd, &byte, 1);
  }
}

// Catches Ctrl-C and SIGTERM for the life of one station run.
class StopSignals {
 public:
  StopSignals() {
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) m_wake[0] = m_wake[1] = -1;
    g_wakeFd = m_wake[1];
    g_stopRequests = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
  }
  ~StopSignals() {
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    g_wakeFd = -1;
    for (const int fd : m_wake)
      if (fd >= 0) ::close(fd);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int WakeFd() const { return m_wake[0]; }
  void Drain() const {
    char bytes[16];
    while (m_wake[0] >= 0 && ::read(m_wake[0], bytes, sizeof(bytes)) > 0) {
    }
  }

 private:
  int m_wake[2] = {-1, -1};
  struct sigaction m_oldInt {};
  struct sigaction m_oldTerm {};
};

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::string item;
  for (const char c : text + ",") {
    if (c == ',') {
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else if (c != ' ') {
      item += c;
    }
  }
  return items;
}

// The last lines of a worker's log: why it refused its inputs.
std::string LogTail(const std::filesystem::path& file, std::size_t lines) {
  std::ifstream in(file);
  std::vector<std::string> last;
  for (std::string line; std::getline(in, line);) {
    last.push_back(line);
    if (last.size() > lines) last.erase(last.begin());
  }
  std::string text;
  for (const auto& line : last) text += "  " + line + "\n";
  return text;
}

struct Station {
  std::vector<StationPort> ports;
  std::vector<std::unique_ptr<StationWorker>> workers;
  std::vector<Clock::time_point> started;
  std::vector<Clock::time_point> nextStart;  // the pause after a handset ends
  Clock::duration pause{};
  std::vector<bool> closed;  // the port takes no more handsets
  std::vector<std::string> workerArguments;  // after the port
  std::string operation;
  std::filesystem::path program;
  std::filesystem::path logDirectory;
  int count = 0;
};

std::filesystem::path LogFileOf(const Station& station, std::size_t i) {
  return station.logDirectory / (station.ports[i].name + ".log");
}

int RunStation(Station& station) {
  const bool live = ::isatty(STDOUT_FILENO) != 0;
  StationDashboard dashboard(stdout, live);
  StopSignals signals;
  int stopsSeen = 0;
  bool usageRefused = false;
  auto lastRedraw = Clock::now() - std::chrono::hours(1);

  dashboard.Note("station: " + station.operation + " on " + std::to_string(station.ports.size()) +
                     (station.ports.size() == 1 ? " port" : " ports") + "; worker logs in " + station.logDirectory.string() +
                     "; Ctrl-C lets the handsets in progress finish and stops",
                 station.ports);

  const auto startNext = [&](std::size_t i) {
    auto& port = station.ports[i];
    if (station.closed[i] || g_stopRequests > 0 || Clock::now() < station.nextStart[i]) return;
    if (station.count > 0 && port.served >= station.count) {
      station.closed[i] = true;
      return;
    }
    std::vector<std::string> argv{station.program.string(), station.operation, "--port", port.name};
    argv.insert(argv.end(), station.workerArguments.begin(), station.workerArguments.end());
    std::string why;
    BeginHandset(port);
    if (!station.workers[i]->Start(argv, LogFileOf(station, i), why)) {
      port.busy = false;
      station.closed[i] = true;
      dashboard.Note(port.name + ": no worker: " + why + "; the port is left out", station.ports);
      return;
    }
    station.started[i] = Clock::now();
  };

  for (;;) {
    for (std::size_t i = 0; i < station.ports.size(); ++i)
      if (!station.workers[i]->Running()) startNext(i);

    std::vector<pollfd> fds;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < station.ports.size(); ++i)
      if (station.workers[i]->EventFd() >= 0) {
        fds.push_back({station.workers[i]->EventFd(), POLLIN, 0});
        owners.push_back(i);
      }
    bool anyRunning = false;
    for (const auto& worker : station.workers) anyRunning = anyRunning || worker->Running();
    bool anyWaiting = false;  // in the pause before its next handset
    for (std::size_t i = 0; i < station.ports.size(); ++i)
      anyWaiting = anyWaiting || (!station.closed[i] && !station.workers[i]->Running() && g_stopRequests == 0);
    if (!anyRunning && !anyWaiting) break;
    fds.push_back({signals.WakeFd(), POLLIN, 0});
    const auto roundStart = Clock::now();
    ::poll(fds.data(), fds.size(), kRedrawMs);
    if (g_stopRequests == stopsSeen) std::this_thread::sleep_until(roundStart + kMinimumRound);
    ::poll(fds.data(), fds.size(), 0);  // what the batch holds now

    for (std::size_t k = 0; k + 1 < fds.size(); ++k) {
      if (fds[k].revents == 0) continue;
      auto& port = station.ports[owners[k]];
      station.workers[owners[k]]->ReadEvents([&](const std::vector<std::string>& fields) {
        const std::string before = port.stage;
        if (ApplyEvent(port, fields) && !live) {
          if (port.stage != before)
            dashboard.Note(port.name + " stage " + port.stage, station.ports);
          else if (!port.status.empty())
            dashboard.Note(port.name + " " + port.status, station.ports);
        }
      });
    }

    for (std::size_t i = 0; i < station.ports.size(); ++i) {
      auto& worker = *station.workers[i];
      int status = 0;
      if (!worker.Running()) continue;
      worker.ReadEvents([&](const std::vector<std::string>& fields) { ApplyEvent(station.ports[i], fields); });
      if (!worker.Exited(status)) continue;
      auto& port = station.ports[i];
      if (status == kUsageStatus) {
        // The operation refused its inputs: every port would refuse them.
        port.busy = false;
        usageRefused = true;
        for (std::size_t j = 0; j < station.closed.size(); ++j) station.closed[j] = true;
        dashboard.Note(port.name + ": " + station.operation + " refused its inputs:\n" +
                           LogTail(LogFileOf(station, i), 4) + "station: stopping",
                       station.ports);
        continue;
      }
      const double seconds = std::chrono::duration<double>(Clock::now() - station.started[i]).count();
      station.nextStart[i] = Clock::now() + station.pause;
      EndHandset(port, status == 0, WorkerResultText(port, status));
      char timing[48];
      std::snprintf(timing, sizeof(timing), " in %.1f s", seconds);
      std::string note = port.name + " handset " + std::to_string(port.served) + ": " + port.lastResult + timing +
                         " (served " + std::to_string(port.served) + ", failed " + std::to_string(port.failed) + ")";
      if (status > 0 && !port.failureText.empty()) note += " - " + port.failureText;
      if (status < 0) note += "; restarting the port";
      if (status != 0 && status > 0) note += "; see " + LogFileOf(station, i).string();
      dashboard.Note(note, station.ports);
    }

    if (g_stopRequests > stopsSeen) {
      signals.Drain();
      if (stopsSeen == 0)
        dashboard.Note("station: stopping once the handsets in progress are done (Ctrl-C again stops them now)",
                       station.ports);
      else
        for (auto& worker : station.workers) worker->Terminate();
      stopsSeen = static_cast<int>(g_stopRequests);
    }
    if (live && Clock::now() - lastRedraw >= std::chrono::milliseconds(kRedrawMs)) {
      dashboard.Redraw(station.ports);
      lastRedraw = Clock::now();
    }
  }

  dashboard.Finish(station.ports);
  int served = 0, failed = 0;
  for (const auto& port : station.ports) {
    served += port.served;
    failed += port.failed;
  }
  std::printf("station: %d handsets served, %d failed\n", served, failed);
  if (usageRefused) return kUsageStatus;
  return failed == 0 ? 0 : 1;
}

int PrepareAndRun(const StationOptions& options, CLI::App& app, const std::vector<std::string>& rest) {
  if (rest.empty()) return RefuseInput("no operation given: zkdownload station --ports COM3,COM4 OPERATION ...", "");
  Station station;
  station.operation = rest.front();
  station.workerArguments.assign(rest.begin() + 1, rest.end());
  station.count = options.count;

  CLI::App* operation = nullptr;
  try {
    operation = app.get_subcommand(station.operation);
  } catch (const CLI::OptionNotFound&) {
  }
  if (operation == nullptr || station.operation == "station" || operation->get_option_no_throw("--port") == nullptr)
    return RefuseInput("'" + station.operation + "' is no operation on a handset's port (see zkdownload --help)", "");
  for (const auto& argument : station.workerArguments)
    if (argument == "--port" || argument.rfind("--port=", 0) == 0)
      return RefuseInput("--port belongs to the station: give the ports with --ports", "");

  std::set<int> indices;
  for (const auto& text : SplitList(options.ports)) {
    const auto port = ResolveOperationPort(text);
    if (!port) return kUsageStatus;
    if (!indices.insert(port->index).second) return RefuseInput(port->name + " is named twice in --ports", "");
    StationPort state;
    state.name = port->name;
    station.ports.push_back(state);
  }
  if (station.ports.empty()) return RefuseInput("--ports names no port", "");

  station.logDirectory = options.logDirectory.empty() ? platform::Home() / "station"
                                                      : std::filesystem::path(options.logDirectory);
  std::error_code error;
  std::filesystem::create_directories(station.logDirectory, error);
  if (error) return RefuseInput("cannot make the log directory " + station.logDirectory.string() + ": " + error.message(), "");
  station.program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return RefuseInput("cannot find this program's own file: " + error.message(), "");

  for (std::size_t i = 0; i < station.ports.size(); ++i) station.workers.push_back(std::make_unique<StationWorker>());
  station.started.resize(station.ports.size());
  station.nextStart.assign(station.ports.size(), Clock::now());
  station.pause = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(options.pauseSeconds * platform::TimeScale()));
  station.closed.assign(station.ports.size(), false);
  std::fflush(stdout);
  return RunStation(station);
}

}  // namespace

void AddStationCommand(CLI::App& app) {
  auto options = std::make_shared<StationOptions>();
  auto* command = app.add_subcommand(
      "station", "Run one operation on many ports at once, a handset after another on each, until Ctrl-C");
  command->add_option("--ports", options->ports, "the ports, comma-separated (COM3,COM4 or device paths)")
      ->required();
  command->add_option("--count", options->count, "handsets per port, then stop (default: until Ctrl-C)")
      ->check(CLI::NonNegativeNumber);
  command->add_option("--pause", options->pauseSeconds,
                      "seconds between one handset and the next on a port, to change handsets (default 10)")
      ->check(CLI::NonNegativeNumber);
  command->add_option("--log-dir", options->logDirectory,
                      "where each port's worker output goes, PORT.log (default: $ZKDOWNLOAD_HOME/station)");
  // Everything from the operation's name on is the operation's own.
  command->prefix_command();
  command->fallthrough(false);  // the options after OPERATION are all its own
  command->footer(
      "OPERATION and its options follow the station's options, e.g.\n"
      "  zkdownload station --ports COM3,COM4 --count 5 upgrade --kind 0 RB310.BIN\n"
      "Each port's result goes to the service log (zkdownload log --summary).");
  command->callback([options, command, &app] {
    SetCommandResult(PrepareAndRun(*options, app, command->remaining()));
  });
}

}  // namespace zk::cli
