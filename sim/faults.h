// Fault injection: decides, request by request, what happens to the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "options.h"

namespace rb310 {

// What the matching rules do to one answer.
struct FaultDecision {
  bool drop = false;
  bool corrupt = false;
  std::optional<uint8_t> foreignCode;
  int64_t stallMs = 0;        // unscaled
  uint32_t garbageBytes = 0;

  bool Any() const { return drop || corrupt || foreignCode || stallMs > 0 || garbageBytes > 0; }
  std::string Describe() const;  // "drop,stall=500", for the transcript
};

class FaultPlan {
 public:
  explicit FaultPlan(FaultOptions options = {});

  const FaultOptions& options() const { return options_; }
  // Replaces the rules; their hit counts start again.
  void Reset(FaultOptions options);

  // The decision for the `ordinal`-th diagnostic request (1-based), whose
  // command code is `code`. Counts the hits of rules with a limit.
  FaultDecision Decide(uint8_t code, uint64_t ordinal);

  // The status an NV read or write of `item` (NAM index `index`, -1 when the
  // item is not indexed) reports instead of doing its work.
  std::optional<uint16_t> NvStatus(uint16_t item, int index, bool write) const;

 private:
  FaultOptions options_;
  std::vector<uint32_t> hits_;
};

// Noise bytes sent before an answer: a fixed pseudo-random sequence that may
// contain flag and escape bytes, as line noise would.
std::vector<uint8_t> GarbageBytes(uint32_t count, uint64_t seed);

}  // namespace rb310
