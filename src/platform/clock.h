// Steady-clock time and waits, scaled by ZKDOWNLOAD_TIME_SCALE.
//
// Every fixed wait and every time-out of the library goes through Scaled() so
// that tests can run the handset protocols at a fraction of their real pace.
// Nothing here busy-waits.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

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

// Sleeps for `ms` milliseconds (scaled), and tells the wait recorder in
// force, if any, what was asked. Returns early (or at once) while a host's
// cancel is pending (platform/cancel.h).
void SleepMs(int64_t ms);

// While one lives, every SleepMs request of any thread is written down in
// unscaled milliseconds, in the order asked; with `sleep` false the waits
// return at once, so a flow's fixed waits can be checked without spending
// them. One recorder at a time: a second one stands in for the first until
// it goes.
class WaitRecorder {
 public:
  explicit WaitRecorder(bool sleep = true);
  ~WaitRecorder();
  WaitRecorder(const WaitRecorder&) = delete;
  WaitRecorder& operator=(const WaitRecorder&) = delete;

  // The requests so far.
  std::vector<int64_t> Waits() const;
  void Clear();

 private:
  friend void SleepMs(int64_t ms);
  // Records `ms`; true when the wait is to be slept.
  bool Record(int64_t ms);

  bool sleep_;
  WaitRecorder* previous_;
  mutable std::mutex mutex_;
  std::vector<int64_t> waits_;
};

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
