// rb310::Simulator: one simulated handset on a pseudo-terminal, served by its
// own thread. Tests create it in-process; the rb310-sim executable wraps it.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "handset.h"
#include "options.h"
#include "wire/line_pacing.h"
#include "wire/pty_endpoint.h"

namespace rb310 {

class Simulator {
 public:
  explicit Simulator(SimOptions options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pty, links it as COM<port>, opens the transcript file and
  // starts the thread. False (with the reason) when any of it fails.
  bool Start(std::string& error);
  // Stops the thread, removes the port map entry, closes the pty.
  void Stop();
  bool running() const { return thread_.joinable(); }

  int port() const { return options_.line.port; }
  const std::filesystem::path& stateDir() const { return options_.stateDir; }
  const std::string& slavePath() const { return pty_.slavePath(); }
  const SimOptions& options() const { return options_; }

  std::vector<TranscriptEntry> transcript() const;
  Counters counters() const;
  // Bytes that crossed the pty each way since the start (frames as escaped
  // on the line, AT text as sent), for benchmarks that weigh the wire.
  uint64_t bytesFromHost() const { return bytesFromHost_; }
  uint64_t bytesToHost() const { return bytesToHost_; }
  HandsetState state() const;
  // Whether a disconnect fault made the handset vanish (its pty is closed).
  bool vanished() const;
  // Replaces the faults while the handset runs.
  void SetFaults(FaultOptions faults);
  // Runs `work` on the handset with its thread held off (for tests that
  // prepare or inspect the model directly).
  void WithHandset(const std::function<void(Handset&)>& work);

 private:
  void Run();
  // Runs what has fallen due on the handset: hands it the host's bytes
  // that have crossed the line, collects its answers.
  void Serve(double nowMs);
  void WriteOut(double nowMs);
  // Until the next thing falls due (at most the idle wake-up).
  double WaitMs(double nowMs) const;

  SimOptions options_;
  PtyEndpoint pty_;
  std::unique_ptr<Handset> handset_;
  mutable std::mutex mutex_;  // guards handset_
  std::thread thread_;
  int wakeFd_ = -1;
  std::atomic<bool> stop_{false};

  // Answer bytes due but not yet written (the host may not be reading, or
  // they are still crossing the paced line), and the host's bytes still
  // crossing it.
  std::deque<uint8_t> pending_;
  bool outputBlocked_ = false;  // the pty was full: wait until it takes bytes
  std::atomic<uint64_t> bytesFromHost_{0};
  std::atomic<uint64_t> bytesToHost_{0};
  OutputPacer output_{0};
  InputPacer input_{0};
};

// $ZKDOWNLOAD_HOME/rb310-sim/COM<port>, the state directory when none is given.
std::filesystem::path DefaultStateDir(int port);

}  // namespace rb310
