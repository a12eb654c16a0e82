// What the handset has seen and sent since it was created.
#pragma once

#include <array>
#include <cstdint>

namespace rb310 {

struct Counters {
  uint64_t atLines = 0;
  uint64_t frames = 0;  // good frames, each one request
  uint64_t downloaderFrames = 0;  // of them, the ones the downloader took
  uint64_t faultsActed = 0;       // requests an injected fault refused or whose answer it changed
  uint64_t badFrames = 0;
  uint64_t overlongFrames = 0;
  uint64_t strayLines = 0;      // AT lines dropped by the diagnostic side
  uint64_t garbledChunks = 0;   // input at a rate the handset does not listen at
  uint64_t ignoredWhileRestarting = 0;
  uint64_t answers = 0;         // answers sent (AT results included)
  uint64_t droppedAnswers = 0;
  uint64_t restarts = 0;
  std::array<uint64_t, 256> requestsByCode{};
};

}  // namespace rb310
