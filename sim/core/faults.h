// Fault injection: decides, request by request, what happens to the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/fault_options.h"

namespace rb310 {

// What the matching rules do to one answer.
struct FaultDecision {
  bool drop = false;
  bool corrupt = false;
  std::optional<uint8_t> foreignCode;
  int64_t stallMs = 0;        // unscaled
  uint32_t garbageBytes = 0;
  bool disconnect = false;

  bool Any() const { return drop || corrupt || foreignCode || stallMs > 0 || garbageBytes > 0 || disconnect; }
  std::string Describe() const;  // "drop,stall=500", for the transcript
};

class FaultPlan {
 public:
  explicit FaultPlan(FaultOptions options = {});

  const FaultOptions& options() const { return options_; }
  // Replaces the rules; their hit counts start again.
  void Reset(FaultOptions options);

  // Whether a NAK rule refuses the `ordinal`-th request (1-based), whose
  // command code is `code`; asked for download packets only, before the
  // packet is handled, so a refused packet changes nothing.
  bool Refuse(uint8_t code, uint64_t ordinal);
  // What the other rules do to the answer of that request; asked once it
  // has been handled (a handler may have changed the rules meanwhile).
  FaultDecision Decide(uint8_t code, uint64_t ordinal);

  // The status an NV read or write of `item` (NAM index `index`, -1 when the
  // item is not indexed) reports instead of doing its work.
  std::optional<uint16_t> NvStatus(uint16_t item, int index, bool write) const;

 private:
  // Whether rule `i` hits this request; counts its matches and hits.
  bool Hits(std::size_t i, uint8_t code, uint64_t ordinal);

  FaultOptions options_;
  std::vector<uint32_t> matches_;
  std::vector<uint32_t> hits_;
};

// Noise bytes sent before an answer: a fixed pseudo-random sequence that may
// contain flag and escape bytes, as line noise would.
std::vector<uint8_t> GarbageBytes(uint32_t count, uint64_t seed);

}  // namespace rb310
