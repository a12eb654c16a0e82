#include "platform/clock.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace zk::platform {
namespace {

double ReadScaleFromEnvironment() {
  const char* text = std::getenv("ZKDOWNLOAD_TIME_SCALE");
  if (text == nullptr || *text == '\0') return 1.0;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0.0) return 1.0;
  return value;
}

std::atomic<double>& ScaleCell() {
  static std::atomic<double> scale{ReadScaleFromEnvironment()};
  return scale;
}

}  // namespace

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

double TimeScale() { return ScaleCell().load(std::memory_order_relaxed); }

void SetTimeScale(double factor) {
  if (std::isfinite(factor) && factor > 0.0) ScaleCell().store(factor, std::memory_order_relaxed);
}

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
