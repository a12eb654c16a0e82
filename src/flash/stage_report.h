// The stage report: which stage of a staged flow is running and how long
// each one took, kept for a host that registered its buffers. The count
// and the blocks live as long as the library; nothing resets them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zk::flash {

class StageReport {
 public:
  static constexpr std::size_t kSlots = 10;
  static constexpr std::size_t kSlotSize = 100;
  static constexpr std::size_t kBlockSize = kSlots * kSlotSize;  // the size of each host buffer

  // Where the report is copied after every entry; null members are skipped.
  struct HostCells {
    int* count = nullptr;
    unsigned char* names = nullptr;  // kBlockSize bytes
    unsigned char* times = nullptr;  // kBlockSize bytes
  };

  // Enters stage `name` at clock reading `nowMs`. The same name as the last
  // entered stage does nothing. Otherwise the name goes into the next slot,
  // the previous stage's duration ("MMSS") into its slot, the count rises,
  // and the count and both blocks are copied to `host`. The host's buffers
  // hold ten slots: a stage entered when they are full is counted, but
  // neither its name nor the duration of a stage past the tenth is written.
  void Enter(std::string_view name, int64_t nowMs, const HostCells& host);

  int count() const { return m_count; }
  std::string_view NameAt(std::size_t slot) const { return SlotText(m_names, slot); }
  std::string_view TimeAt(std::size_t slot) const { return SlotText(m_times, slot); }

  // "MMSS" for a stage of `elapsedMs` (minutes, then seconds below 60).
  static std::string DurationText(int64_t elapsedMs);

 private:
  using Block = std::array<char, kBlockSize>;
  static std::string_view SlotText(const Block& block, std::size_t slot);
  static void PutSlot(Block& block, std::size_t slot, std::string_view text);

  int m_count = 0;
  Block m_names{};
  Block m_times{};
  int64_t m_lastStartMs = 0;
  std::string m_lastName;
};

}  // namespace zk::flash
