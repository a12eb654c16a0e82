// The catalogue's lookups and the NV image layout: items with a fixed offset
// keep it, every other item takes the first gap that holds it, in the order
// of the value table. The layout is computed once and never changes while
// the process runs.
#include "nv/nv_catalogue.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "nv/nv_catalogue_data.h"
#include "nv/nv_image.h"

namespace zk::nv {
namespace {

Slot SlotOf(const data::ItemValue& row, std::size_t offset) {
  return Slot{static_cast<uint16_t>(offset), row.size, row.perNam};
}

// First offset at or after 0 where `bytes` fit between the slots taken so far
// (kept ordered by offset).
std::size_t FirstGap(const std::vector<SlotEntry>& taken, std::size_t bytes) {
  std::size_t candidate = 0;
  for (const auto& entry : taken) {
    if (candidate + bytes <= entry.slot.offset) return candidate;
    candidate = std::max(candidate, entry.slot.offset + entry.slot.TotalBytes());
  }
  return candidate;
}

void InsertOrdered(std::vector<SlotEntry>& taken, SlotEntry entry) {
  const auto at = std::lower_bound(taken.begin(), taken.end(), entry,
                                   [](const SlotEntry& a, const SlotEntry& b) { return a.slot.offset < b.slot.offset; });
  taken.insert(at, entry);
}

std::vector<SlotEntry> BuildLayout() {
  std::vector<SlotEntry> slots;
  for (const auto& row : data::ItemValues())
    if (row.fixedOffset != data::kPlaced) InsertOrdered(slots, {row.item, SlotOf(row, row.fixedOffset)});
  for (const auto& row : data::ItemValues()) {
    if (row.fixedOffset != data::kPlaced) continue;
    const Slot probe = SlotOf(row, 0);
    const std::size_t offset = FirstGap(slots, probe.TotalBytes());
    // The tables are constant: an image that cannot hold them is a build mistake.
    if (offset + probe.TotalBytes() > kImageSize) std::abort();
    InsertOrdered(slots, {row.item, SlotOf(row, offset)});
  }
  return slots;
}

const std::vector<SlotEntry>& Layout() {
  static const std::vector<SlotEntry> layout = BuildLayout();
  return layout;
}

const CatalogueItem* FindItem(uint16_t item) {
  for (auto list : {data::Calibration(), data::Settings(), data::Nam(), data::Authentication()})
    for (const auto& entry : list)
      if (entry.item == item) return &entry;
  return nullptr;
}

}  // namespace

std::span<const CatalogueItem> CalibrationList() { return data::Calibration(); }
std::span<const CatalogueItem> SettingsList() { return data::Settings(); }
std::span<const CatalogueItem> NamList() { return data::Nam(); }
std::span<const CatalogueItem> LockList() { return data::Lock(); }
std::span<const CatalogueItem> NamIdentityList() { return data::NamIdentity(); }
std::span<const CatalogueItem> AuthenticationList() { return data::Authentication(); }

std::optional<Slot> FindSlot(uint16_t item) {
  for (const auto& entry : Layout())
    if (entry.item == item) return entry.slot;
  return std::nullopt;
}

std::span<const SlotEntry> AllSlots() { return Layout(); }

const char* ItemName(uint16_t item) {
  const CatalogueItem* found = FindItem(item);
  return found ? found->name : nullptr;
}

std::optional<uint16_t> ItemNumber(std::string_view name) {
  for (auto list : {data::Calibration(), data::Settings(), data::Nam()})
    for (const auto& entry : list)
      if (name == entry.name) return entry.item;
  return std::nullopt;
}

}  // namespace zk::nv
