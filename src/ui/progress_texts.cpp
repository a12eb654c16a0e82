#include "ui/progress_texts.h"

#include <algorithm>
#include <cstdio>

namespace zk::ui {
namespace {

// (position - lower) / (upper - lower) of `scale`, truncated, within 0..scale;
// 64-bit so that large ranges cannot overflow.
int ShareOf(int position, int lower, int upper, int scale) {
  if (upper <= lower) return 0;
  const int64_t done = static_cast<int64_t>(position) - lower;
  const int64_t span = static_cast<int64_t>(upper) - lower;
  return static_cast<int>(std::clamp<int64_t>(done * scale / span, 0, scale));
}

}  // namespace

std::string ElapsedText(int64_t elapsedMs) {
  // Rounding to tenths before splitting keeps the seconds below 60: 59.96 s
  // reads 01:00.0, never 00:60.0.
  const int64_t tenths = (std::max<int64_t>(elapsedMs, 0) + 50) / 100;
  const long long minutes = tenths / 600;
  const long long secondTenths = tenths % 600;
  char text[48];
  std::snprintf(text, sizeof(text), "%02lld:%02lld.%lld Sec", minutes, secondTenths / 10, secondTenths % 10);
  return text;
}

int ProgressPercent(int position, int lower, int upper) { return ShareOf(position, lower, upper, 100); }

std::string PercentText(int percent) {
  char text[24];
  std::snprintf(text, sizeof(text), "  %d%%  ", percent);
  return text;
}

int FillWidth(int position, int lower, int upper, int width) {
  return ShareOf(position, lower, upper, std::max(width, 0));
}

std::string PortText(int portIndex) { return "COM" + std::to_string(static_cast<long long>(portIndex) + 1); }

std::string ProgressCaption(int portIndex) { return PortText(portIndex) + " : Download ..."; }

}  // namespace zk::ui
