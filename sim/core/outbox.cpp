#include "core/outbox.h"

#include <algorithm>

#include "platform/clock.h"

namespace rb310 {

void Outbox::Schedule(int64_t nowMs, int64_t delayMs, std::vector<uint8_t> bytes, Action action) {
  const int64_t due = std::max(nowMs + zk::platform::Scaled(delayMs).count(), lastDueMs_);
  lastDueMs_ = due;
  entries_.push_back(Entry{due, std::move(bytes), std::move(action)});
}

std::vector<uint8_t> Outbox::TakeDue(int64_t nowMs) {
  std::vector<uint8_t> out;
  while (!entries_.empty() && entries_.front().dueMs <= nowMs) {
    Entry entry = std::move(entries_.front());
    entries_.pop_front();
    out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
    if (entry.action) entry.action(entry.dueMs);
  }
  return out;
}

std::optional<int64_t> Outbox::NextDueMs() const {
  if (entries_.empty()) return std::nullopt;
  return entries_.front().dueMs;
}

}  // namespace rb310
