// Framing helpers for tests that talk to a handset directly: build a request
// frame, pull the answer packet out of received bytes. Header-only, on top of
// the library's frame codec (the test links zkcore).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "diag/frame_codec.h"

namespace zk::test {

// The frame for `packet`: escaped bytes, check bytes, terminating flag.
// `leadingFlags` flags go in front (download mode sends three).
inline std::vector<uint8_t> Frame(const std::vector<uint8_t>& packet, int leadingFlags = 0) {
  std::vector<uint8_t> frame(static_cast<std::size_t>(leadingFlags), zk::diag::kFlag);
  std::vector<uint8_t> body(zk::diag::MaxEncodedSize(packet.size()));
  body.resize(zk::diag::EncodeFrame(packet.data(), packet.size(), body.data(), body.size()));
  frame.insert(frame.end(), body.begin(), body.end());
  return frame;
}

// The packet of the first frame in `bytes` (leading flags skipped, check
// bytes removed); nullopt when there is no complete frame or its check fails.
inline std::optional<std::vector<uint8_t>> FirstPacket(const std::vector<uint8_t>& bytes) {
  const auto start = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b != zk::diag::kFlag; });
  const auto end = std::find(start, bytes.end(), zk::diag::kFlag);
  if (start == bytes.end() || end == bytes.end()) return std::nullopt;
  const std::vector<uint8_t> body(start, end);
  std::vector<uint8_t> packet(body.size());
  const auto result = zk::diag::DecodeFrame(body.data(), body.size(), packet.data());
  if (!result.good || result.length < 3) return std::nullopt;
  packet.resize(result.length - 2);
  return packet;
}

}  // namespace zk::test
