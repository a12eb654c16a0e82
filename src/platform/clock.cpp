#include "platform/clock.h"

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <thread>

#include "platform/cancel.h"
#include "platform/library_state.h"

namespace zk::platform {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

double TimeScale() { return CurrentTimeScale(); }

void SetTimeScale(double factor) { SetSettingsTimeScale(factor); }

std::chrono::milliseconds Scaled(int64_t ms) {
  if (ms <= 0) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(static_cast<int64_t>(std::llround(static_cast<double>(ms) * TimeScale())));
}

namespace {
std::atomic<WaitRecorder*> g_recorder{nullptr};
}  // namespace

void SleepMs(int64_t ms) {
  WaitRecorder* recorder = g_recorder.load();
  if (recorder != nullptr && !recorder->Record(ms)) return;
  // The wait ends early on a cancel: poll() on the cancel's descriptor, or
  // without one, short slices that look at the flag.
  const Deadline deadline(ms);
  const int wakeFd = CancelWakeFd();
  constexpr int kSliceMs = 20;
  while (!CancelRequested()) {
    const int left = deadline.RemainingMs(wakeFd >= 0 ? 1000 : kSliceMs);
    if (left == 0) return;
    if (wakeFd < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(left));
      continue;
    }
    pollfd pfd{wakeFd, POLLIN, 0};
    if (::poll(&pfd, 1, left) < 0 && errno != EINTR) std::this_thread::sleep_for(std::chrono::milliseconds(left));
  }
}

WaitRecorder::WaitRecorder(bool sleep) : sleep_(sleep), previous_(g_recorder.exchange(this)) {}

WaitRecorder::~WaitRecorder() { g_recorder.store(previous_); }

std::vector<int64_t> WaitRecorder::Waits() const {
  std::lock_guard lock(mutex_);
  return waits_;
}

void WaitRecorder::Clear() {
  std::lock_guard lock(mutex_);
  waits_.clear();
}

bool WaitRecorder::Record(int64_t ms) {
  std::lock_guard lock(mutex_);
  waits_.push_back(ms);
  return sleep_;
}

int Deadline::RemainingMs(int cap) const {
  const auto left = end_ - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > cap ? cap : static_cast<int>(ms);
}

}  // namespace zk::platform
