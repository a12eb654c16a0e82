// Wire time on the simulated line. A pty moves bytes at once; a serial line
// takes ten bit times per byte. With a pace rate set, the handset acts on
// the host's bytes only once they would have crossed the line, and its own
// answer bytes reach the host only after their line time, so a benchmark
// sees the wire time in both directions. Pure logic over a clock in
// (fractional) milliseconds; a rate of 0 means no pacing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

// Milliseconds one byte (start bit, 8 data bits, stop bit) takes at `baud`.
double ByteTimeMs(uint32_t baud);

// The handset's answers on their way to the host.
class OutputPacer {
 public:
  explicit OutputPacer(uint32_t baud) : baud_(baud) {}

  // Bytes became ready to send at `nowMs` while nothing was waiting: the
  // line starts carrying them now, or when it is free of earlier bytes.
  void Start(double nowMs);
  // How many of `waiting` bytes have crossed the line by `nowMs`.
  std::size_t Crossed(double nowMs, std::size_t waiting) const;
  // `count` bytes were handed to the host.
  void Sent(std::size_t count);
  // When the next slice (about 1 ms of line time, or all of `waiting` when
  // less) will have crossed; nullopt without pacing.
  std::optional<double> DueMs(std::size_t waiting) const;

 private:
  uint32_t baud_;
  double lineFreeMs_ = 0;  // when the bytes counted so far have crossed
};

// The host's bytes on their way to the handset.
class InputPacer {
 public:
  using Deliver = std::function<void(std::span<const uint8_t> bytes, uint32_t hostBaud)>;

  explicit InputPacer(uint32_t baud) : baud_(baud) {}

  // Bytes the host wrote, noticed at `nowMs`, sent at `hostBaud`.
  void Add(std::span<const uint8_t> bytes, uint32_t hostBaud, double nowMs);
  // Hands over, in order, the bytes that have crossed by `nowMs` (one call
  // per run sent at the same host rate).
  void Take(double nowMs, const Deliver& deliver);
  // When the next frame end (a flag after a non-flag byte) or, without
  // one, the last byte on the line will have crossed; nullopt when the line
  // is empty. The handset acts only on whole frames and lines, so nothing
  // is gained by waking for each byte.
  std::optional<double> DueMs() const;
  bool empty() const { return bytes_.empty(); }

 private:
  struct Run {
    std::size_t count;
    uint32_t hostBaud;
  };

  uint32_t baud_;
  std::deque<uint8_t> bytes_;
  std::deque<Run> runs_;      // host rates of bytes_, in order
  double firstStartMs_ = 0;   // when bytes_.front() began to cross
  uint8_t lastTaken_ = 0x7E;  // an idle line: as if a frame had just ended
};

}  // namespace rb310
