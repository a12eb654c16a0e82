// The handset's clock-driven queue of answers: bytes to send and actions to
// run when they fall due. Answers leave in the order of their requests, a
// late one holding back those behind it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace rb310 {

class Outbox {
 public:
  using Action = std::function<void(int64_t dueMs)>;

  explicit Outbox(int64_t nowMs) : lastDueMs_(nowMs) {}

  // Queues `bytes` and `action` for `delayMs` (scaled) after `nowMs`, or
  // after the entry queued before, whichever is later.
  void Schedule(int64_t nowMs, int64_t delayMs, std::vector<uint8_t> bytes, Action action);
  // Runs the entries due by `nowMs` in order and returns their bytes. An
  // action may queue more entries; those due by `nowMs` run too.
  std::vector<uint8_t> TakeDue(int64_t nowMs);
  std::optional<int64_t> NextDueMs() const;

 private:
  struct Entry {
    int64_t dueMs = 0;
    std::vector<uint8_t> bytes;
    Action action;
  };

  std::deque<Entry> entries_;
  int64_t lastDueMs_;
};

}  // namespace rb310
