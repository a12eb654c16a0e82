#include "flash/stage_report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zk::flash {

std::string StageReport::DurationText(int64_t elapsedMs) {
  const int64_t seconds = std::max<int64_t>(elapsedMs, 0) / 1000;
  char text[32];
  std::snprintf(text, sizeof(text), "%02lld%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

std::string_view StageReport::SlotText(const Block& block, std::size_t slot) {
  if (slot >= kSlots) return {};
  const char* start = block.data() + slot * kSlotSize;
  return {start, strnlen(start, kSlotSize)};
}

void StageReport::PutSlot(Block& block, std::size_t slot, std::string_view text) {
  if (slot >= kSlots) return;  // past the host's buffers
  char* start = block.data() + slot * kSlotSize;
  const std::size_t length = std::min(text.size(), kSlotSize - 1);
  std::memset(start, 0, kSlotSize);
  std::memcpy(start, text.data(), length);
}

void StageReport::Enter(std::string_view name, int64_t nowMs, const HostCells& host) {
  if (m_count > 0 && name == m_lastName) return;
  const auto slot = static_cast<std::size_t>(m_count);
  PutSlot(m_names, slot, name);
  if (slot >= 1) PutSlot(m_times, slot - 1, DurationText(nowMs - m_lastStartMs));
  ++m_count;
  m_lastName.assign(name);
  if (host.count != nullptr) *host.count = m_count;
  if (host.names != nullptr) std::memcpy(host.names, m_names.data(), kBlockSize);
  if (host.times != nullptr) std::memcpy(host.times, m_times.data(), kBlockSize);
  m_lastStartMs = nowMs;
}

}  // namespace zk::flash
