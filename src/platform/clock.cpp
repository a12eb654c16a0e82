#include "platform/clock.h"

#include <cmath>
#include <thread>

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

void SleepMs(int64_t ms) { std::this_thread::sleep_for(Scaled(ms)); }

int Deadline::RemainingMs(int cap) const {
  const auto left = end_ - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > cap ? cap : static_cast<int>(ms);
}

}  // namespace zk::platform
