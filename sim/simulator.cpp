#include "simulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "platform/clock.h"
#include "platform/paths.h"

namespace rb310 {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxPending = 1 << 20;  // the host stopped reading: forget the oldest
constexpr int kIdlePollMs = 1000;
constexpr int kHangupPauseMs = 50;

}  // namespace

std::filesystem::path DefaultStateDir(int port) {
  return zk::platform::Home() / "rb310-sim" / ("COM" + std::to_string(port));
}

Simulator::Simulator(SimOptions options) : options_(std::move(options)) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string& error) {
  if (running()) return true;
  if (options_.stateDir.empty()) options_.stateDir = DefaultStateDir(options_.port);
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
  if (!pty_.Link(options_.port, options_.friendly, ec)) {
    error = "cannot link COM" + std::to_string(options_.port) + ": " + ec.message();
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
  paceNextMs_ = 0;
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

void Simulator::SetFaults(FaultOptions faults) {
  std::lock_guard lock(mutex_);
  options_.faults = faults;
  if (handset_) handset_->faults().Reset(std::move(faults));
}

void Simulator::WithHandset(const std::function<void(Handset&)>& work) {
  std::lock_guard lock(mutex_);
  if (handset_) work(*handset_);
}

int Simulator::PollTimeoutMs(int64_t nowMs) const {
  int64_t timeout = kIdlePollMs;
  {
    std::lock_guard lock(mutex_);
    if (const auto next = handset_->NextEventMs()) timeout = std::min(timeout, *next - nowMs);
  }
  if (!pending_.empty() && options_.paceBaud > 0) {
    timeout = std::min(timeout, static_cast<int64_t>(std::ceil(paceNextMs_)) - nowMs);
  }
  return static_cast<int>(std::clamp<int64_t>(timeout, 0, kIdlePollMs));
}

void Simulator::WriteOut(int64_t nowMs) {
  const bool paced = options_.paceBaud > 0;
  while (!pending_.empty()) {
    std::size_t allowed = pending_.size();
    if (paced) {
      // Ten bit times per byte; about 1 ms of line time per write, plus what
      // a late wake-up owes.
      const double now = static_cast<double>(nowMs);
      if (now < paceNextMs_) return;
      const double owed = (now - paceNextMs_) * options_.paceBaud / 10000.0;
      allowed = std::min(allowed, std::max<std::size_t>(1, options_.paceBaud / 10000) + static_cast<std::size_t>(owed));
    }
    uint8_t chunk[kReadChunk];
    const std::size_t count = std::min(allowed, sizeof(chunk));
    std::copy_n(pending_.begin(), count, chunk);
    const ssize_t written = write(pty_.masterFd(), chunk, count);
    if (written <= 0) return;  // full (or no reader): wait for POLLOUT
    pending_.erase(pending_.begin(), pending_.begin() + written);
    if (paced) {
      paceNextMs_ += static_cast<double>(written) * 10000.0 / options_.paceBaud;
      return;
    }
  }
}

void Simulator::Run() {
  uint8_t buffer[kReadChunk];
  bool hungUp = false;
  while (!stop_) {
    const int64_t now = zk::platform::NowMs();
    {
      std::lock_guard lock(mutex_);
      const std::vector<uint8_t> out = handset_->Advance(now);
      // Paced output starts its line time when the line was idle.
      if (pending_.empty() && !out.empty()) paceNextMs_ = std::max(paceNextMs_, static_cast<double>(now));
      pending_.insert(pending_.end(), out.begin(), out.end());
    }
    if (pending_.size() > kMaxPending) pending_.erase(pending_.begin(), pending_.end() - kMaxPending);
    WriteOut(now);

    pollfd fds[2] = {{pty_.masterFd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (!pending_.empty() && options_.paceBaud == 0) fds[0].events |= POLLOUT;
    int timeout = PollTimeoutMs(now);
    // With no slave open anywhere the master reports a hang-up without end;
    // wait on the wake-up descriptor alone for a moment instead of spinning.
    const int count = poll(hungUp ? fds + 1 : fds, hungUp ? 1 : 2, hungUp ? kHangupPauseMs : timeout);
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
        const uint32_t hostBaud = pty_.HostBaud();
        std::lock_guard lock(mutex_);
        handset_->Receive(std::span<const uint8_t>(buffer, static_cast<std::size_t>(got)), hostBaud,
                          zk::platform::NowMs());
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      hungUp = true;
    }
  }
}

}  // namespace rb310
