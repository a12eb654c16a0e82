// Steady-clock time and waits, scaled by ZKDOWNLOAD_TIME_SCALE.
//
// Every fixed wait and every time-out of the library goes through Scaled() so
// that tests can run the handset protocols at a fraction of their real pace.
// Nothing here busy-waits.
#pragma once

#include <chrono>
#include <cstdint>

namespace zk::platform {

using Clock = std::chrono::steady_clock;

// Milliseconds on the steady clock since an arbitrary epoch (unscaled).
int64_t NowMs();

// The factor applied to waits and time-outs: the settings' time scale
// (positive finite numbers only, otherwise 1).
double TimeScale();
// Overrides it until the settings are next read from the environment.
void SetTimeScale(double factor);

// A wait or time-out of `ms` milliseconds after scaling, never negative.
std::chrono::milliseconds Scaled(int64_t ms);

// Sleeps for `ms` milliseconds (scaled).
void SleepMs(int64_t ms);

// A point in time after which a scaled time-out has passed.
class Deadline {
 public:
  explicit Deadline(int64_t ms) : end_(Clock::now() + Scaled(ms)) {}
  bool Expired() const { return Clock::now() > end_; }
  // Milliseconds left, rounded up, at most `cap`; 0 once expired.
  int RemainingMs(int cap) const;

 private:
  Clock::time_point end_;
};

}  // namespace zk::platform
