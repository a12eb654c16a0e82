#include "core/faults.h"

#include <algorithm>

namespace rb310 {

std::string FaultDecision::Describe() const {
  std::string text;
  const auto add = [&text](const std::string& item) {
    if (!text.empty()) text += ',';
    text += item;
  };
  if (drop) add("drop");
  if (corrupt) add("corrupt");
  if (foreignCode) add("foreign=" + std::to_string(*foreignCode));
  if (stallMs > 0) add("stall=" + std::to_string(stallMs));
  if (garbageBytes > 0) add("garbage=" + std::to_string(garbageBytes));
  if (disconnect) add("disconnect");
  return text;
}

FaultPlan::FaultPlan(FaultOptions options) { Reset(std::move(options)); }

void FaultPlan::Reset(FaultOptions options) {
  options_ = std::move(options);
  matches_.assign(options_.rules.size(), 0);
  hits_.assign(options_.rules.size(), 0);
}

bool FaultPlan::Hits(std::size_t i, uint8_t code, uint64_t ordinal) {
  const FaultRule& rule = options_.rules[i];
  bool matches = false;
  switch (rule.match) {
    case FaultRule::Match::kAll: matches = true; break;
    case FaultRule::Match::kNth: matches = ordinal == rule.selector; break;
    case FaultRule::Match::kCode: matches = code == rule.selector; break;
  }
  if (!matches) return false;
  if (++matches_[i] <= rule.skip) return false;
  if (rule.times != 0 && hits_[i] >= rule.times) return false;
  ++hits_[i];
  return true;
}

bool FaultPlan::Refuse(uint8_t code, uint64_t ordinal) {
  bool refused = false;
  for (std::size_t i = 0; i < options_.rules.size(); ++i) {
    if (options_.rules[i].action == FaultRule::Action::kNak && Hits(i, code, ordinal)) refused = true;
  }
  return refused;
}

FaultDecision FaultPlan::Decide(uint8_t code, uint64_t ordinal) {
  FaultDecision decision;
  for (std::size_t i = 0; i < options_.rules.size(); ++i) {
    const FaultRule& rule = options_.rules[i];
    if (rule.action == FaultRule::Action::kNak || !Hits(i, code, ordinal)) continue;
    switch (rule.action) {
      case FaultRule::Action::kDrop: decision.drop = true; break;
      case FaultRule::Action::kCorrupt: decision.corrupt = true; break;
      case FaultRule::Action::kForeignCode: decision.foreignCode = static_cast<uint8_t>(rule.value); break;
      case FaultRule::Action::kStall: decision.stallMs += rule.value; break;
      case FaultRule::Action::kGarbage: decision.garbageBytes += rule.value; break;
      case FaultRule::Action::kDisconnect: decision.disconnect = true; break;
      case FaultRule::Action::kNak: break;
    }
  }
  return decision;
}

std::optional<uint16_t> FaultPlan::NvStatus(uint16_t item, int index, bool write) const {
  for (const NvStatusFault& fault : options_.nvStatus) {
    if (fault.item != item) continue;
    if (fault.index >= 0 && fault.index != index) continue;
    if (write ? fault.onWrite : fault.onRead) return fault.status;
  }
  return std::nullopt;
}

std::vector<uint8_t> GarbageBytes(uint32_t count, uint64_t seed) {
  std::vector<uint8_t> bytes(count);
  uint64_t state = seed * 6364136223846793005ULL + 1442695040888963407ULL;
  for (uint8_t& byte : bytes) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    byte = static_cast<uint8_t>(state >> 56);
  }
  return bytes;
}

}  // namespace rb310
