#include "simulator.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>

#include "platform/clock.h"
#include "platform/paths.h"

namespace rb310 {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxPending = 1 << 20;  // the host stopped reading: forget the oldest
constexpr int kIdlePollMs = 1000;
constexpr int kHangupPauseMs = 50;

// The steady clock in fractional milliseconds (the same epoch as NowMs):
// paced bytes cross the line in fractions of a millisecond.
double PreciseNowMs() {
  return std::chrono::duration<double, std::milli>(zk::platform::Clock::now().time_since_epoch()).count();
}

}  // namespace

std::filesystem::path DefaultStateDir(int port) {
  return zk::platform::Home() / "rb310-sim" / ("COM" + std::to_string(port));
}

Simulator::Simulator(SimOptions options) : options_(std::move(options)) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string& error) {
  if (running()) return true;
  if (options_.stateDir.empty()) options_.stateDir = DefaultStateDir(options_.line.port);
  std::error_code ec;
  std::filesystem::create_directories(options_.stateDir, ec);
  if (ec) {
    error = "cannot create state directory " + options_.stateDir.string() + ": " + ec.message();
    return false;
  }
  handset_ = std::make_unique<Handset>(options_, zk::platform::NowMs());
  if (!options_.transcriptPath.empty() && !handset_->transcript().OpenFile(options_.transcriptPath, ec)) {
    error = "cannot write transcript " + options_.transcriptPath + ": " + ec.message();
    return false;
  }
  if (!pty_.Open(ec)) {
    error = "cannot create a pseudo-terminal: " + ec.message();
    return false;
  }
  if (!pty_.Link(options_.line.port, options_.line.friendly, ec)) {
    error = "cannot link COM" + std::to_string(options_.line.port) + ": " + ec.message();
    pty_.Close();
    return false;
  }
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    error = "eventfd failed";
    pty_.Close();
    return false;
  }
  stop_ = false;
  pending_.clear();
  outputBlocked_ = false;
  output_ = OutputPacer(options_.line.paceBaud);
  input_ = InputPacer(options_.line.paceBaud);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Simulator::Stop() {
  if (thread_.joinable()) {
    stop_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof(one));
    thread_.join();
  }
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
  pty_.Close();
}

std::vector<TranscriptEntry> Simulator::transcript() const {
  std::lock_guard lock(mutex_);
  return handset_ ? handset_->transcript().Entries() : std::vector<TranscriptEntry>{};
}

Counters Simulator::counters() const {
  std::lock_guard lock(mutex_);
  return handset_ ? handset_->counters() : Counters{};
}

HandsetState Simulator::state() const {
  std::lock_guard lock(mutex_);
  return handset_ ? handset_->state() : HandsetState{};
}

bool Simulator::vanished() const {
  std::lock_guard lock(mutex_);
  return handset_ && handset_->vanished();
}

void Simulator::SetFaults(FaultOptions faults) {
  std::lock_guard lock(mutex_);
  options_.faults = faults;
  if (handset_) handset_->faults().Reset(std::move(faults));
}

void Simulator::WithHandset(const std::function<void(Handset&)>& work) {
  std::lock_guard lock(mutex_);
  if (handset_) work(*handset_);
}

double Simulator::WaitMs(double nowMs) const {
  double due = nowMs + kIdlePollMs;
  {
    std::lock_guard lock(mutex_);
    // The handset's clock counts whole milliseconds.
    if (const auto next = handset_->NextEventMs()) due = std::min(due, static_cast<double>(*next));
  }
  if (const auto next = input_.DueMs()) due = std::min(due, *next);
  if (!outputBlocked_) {
    if (const auto next = output_.DueMs(pending_.size())) due = std::min(due, *next);
  }
  return std::clamp(due - nowMs, 0.0, static_cast<double>(kIdlePollMs));
}

void Simulator::Serve(double nowMs) {
  const auto nowWholeMs = static_cast<int64_t>(std::floor(nowMs));
  std::lock_guard lock(mutex_);
  input_.Take(nowMs, [&](std::span<const uint8_t> bytes, uint32_t hostBaud) {
    handset_->Receive(bytes, hostBaud, nowWholeMs);
  });
  const std::vector<uint8_t> out = handset_->Advance(nowWholeMs);
  if (handset_->vanished() && pty_.masterFd() >= 0) {
    // The handset is gone: the host's descriptor sees the line hang up and
    // the port name leads nowhere.
    pending_.clear();
    pty_.Close();
    return;
  }
  if (out.empty()) return;
  if (pending_.empty()) output_.Start(nowMs);
  pending_.insert(pending_.end(), out.begin(), out.end());
}

void Simulator::WriteOut(double nowMs) {
  outputBlocked_ = false;
  std::size_t ready = output_.Crossed(nowMs, pending_.size());
  while (ready > 0) {
    uint8_t chunk[kReadChunk];
    const std::size_t count = std::min(ready, sizeof(chunk));
    std::copy_n(pending_.begin(), count, chunk);
    const ssize_t written = write(pty_.masterFd(), chunk, count);
    if (written <= 0) {
      outputBlocked_ = true;  // full (or no reader): wait for POLLOUT
      return;
    }
    const auto sent = static_cast<std::size_t>(written);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
    output_.Sent(sent);
    bytesToHost_ += sent;
    ready -= sent;
  }
}

void Simulator::Run() {
  // A paced line wakes this thread at the moment a frame has crossed; the
  // kernel's default timer slack (50 us) would add to every exchange.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  uint8_t buffer[kReadChunk];
  bool hungUp = false;
  while (!stop_) {
    const double now = PreciseNowMs();
    Serve(now);
    if (pending_.size() > kMaxPending) {
      pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(kMaxPending));
    }
    WriteOut(now);

    pollfd fds[2] = {{pty_.masterFd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (outputBlocked_) fds[0].events |= POLLOUT;
    // With no slave open anywhere the master reports a hang-up without end;
    // wait on the wake-up descriptor alone for a moment instead of spinning.
    const double waitMs = hungUp ? kHangupPauseMs : WaitMs(now);
    const auto waitNs = static_cast<long>(waitMs * 1e6);
    const timespec timeout{waitNs / 1000000000L, waitNs % 1000000000L};
    const int count = ppoll(hungUp ? fds + 1 : fds, hungUp ? 1 : 2, &timeout, nullptr);
    hungUp = false;
    if (count < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents & POLLIN) {
      uint64_t value = 0;
      [[maybe_unused]] const auto got = read(wakeFd_, &value, sizeof(value));
      continue;
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t got = read(pty_.masterFd(), buffer, sizeof(buffer));
      if (got > 0) {
        bytesFromHost_ += static_cast<uint64_t>(got);
        input_.Add(std::span<const uint8_t>(buffer, static_cast<std::size_t>(got)), pty_.HostBaud(), PreciseNowMs());
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      hungUp = true;
    }
  }
}

}  // namespace rb310
