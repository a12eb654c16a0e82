#include "wire/line_pacing.h"

#include <algorithm>
#include <cmath>

namespace rb310 {
namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kSliceMs = 1.0;
constexpr uint8_t kFlag = 0x7E;
// Keeps a byte due at exactly `t` from counting as not yet crossed at `t`.
constexpr double kRoundingSlack = 1e-9;

std::size_t BytesIn(double spanMs, uint32_t baud) {
  if (spanMs <= 0) return 0;
  return static_cast<std::size_t>(std::floor(spanMs / ByteTimeMs(baud) + kRoundingSlack));
}

}  // namespace

double ByteTimeMs(uint32_t baud) { return kBitsPerByte * 1000.0 / static_cast<double>(baud); }

void OutputPacer::Start(double nowMs) { lineFreeMs_ = std::max(lineFreeMs_, nowMs); }

std::size_t OutputPacer::Crossed(double nowMs, std::size_t waiting) const {
  if (baud_ == 0) return waiting;
  return std::min(waiting, BytesIn(nowMs - lineFreeMs_, baud_));
}

void OutputPacer::Sent(std::size_t count) {
  if (baud_ != 0) lineFreeMs_ += static_cast<double>(count) * ByteTimeMs(baud_);
}

std::optional<double> OutputPacer::DueMs(std::size_t waiting) const {
  if (baud_ == 0 || waiting == 0) return std::nullopt;
  const std::size_t slice = std::max<std::size_t>(1, BytesIn(kSliceMs, baud_));
  return lineFreeMs_ + static_cast<double>(std::min(waiting, slice)) * ByteTimeMs(baud_);
}

void InputPacer::Add(std::span<const uint8_t> bytes, uint32_t hostBaud, double nowMs) {
  if (bytes.empty()) return;
  // An idle line starts carrying the bytes now; a busy one after the bytes
  // still on it.
  if (bytes_.empty()) firstStartMs_ = nowMs;
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  if (!runs_.empty() && runs_.back().hostBaud == hostBaud) {
    runs_.back().count += bytes.size();
  } else {
    runs_.push_back(Run{bytes.size(), hostBaud});
  }
}

void InputPacer::Take(double nowMs, const Deliver& deliver) {
  std::size_t crossed = baud_ == 0 ? bytes_.size() : std::min(bytes_.size(), BytesIn(nowMs - firstStartMs_, baud_));
  if (baud_ != 0) firstStartMs_ += static_cast<double>(crossed) * ByteTimeMs(baud_);
  std::vector<uint8_t> chunk;
  while (crossed > 0) {
    Run& run = runs_.front();
    const std::size_t count = std::min(crossed, run.count);
    chunk.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    lastTaken_ = chunk.back();
    const uint32_t hostBaud = run.hostBaud;
    run.count -= count;
    if (run.count == 0) runs_.pop_front();
    crossed -= count;
    deliver(chunk, hostBaud);
  }
}

std::optional<double> InputPacer::DueMs() const {
  if (bytes_.empty()) return std::nullopt;
  if (baud_ == 0) return firstStartMs_;
  std::size_t due = bytes_.size();
  uint8_t previous = lastTaken_;
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (bytes_[i] == kFlag && previous != kFlag) {
      due = i + 1;
      break;
    }
    previous = bytes_[i];
  }
  return firstStartMs_ + static_cast<double>(due) * ByteTimeMs(baud_);
}

}  // namespace rb310
