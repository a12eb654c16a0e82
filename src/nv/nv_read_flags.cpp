// The read flags of the calibration, settings and NAM lists.
#include "nv/nv_read_flags.h"

#include <optional>
#include <span>

namespace zk::nv {
namespace {

std::optional<std::size_t> PositionOf(std::span<const CatalogueItem> list, uint16_t item) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].item == item) return i;
  return std::nullopt;
}

struct Entry {
  ListId list;
  std::size_t position;
};

std::optional<Entry> Search(uint16_t item, int index) {
  if (index == kNoNam) {
    if (auto at = PositionOf(CalibrationList(), item)) return Entry{ListId::Calibration, *at};
    if (auto at = PositionOf(SettingsList(), item)) return Entry{ListId::Settings, *at};
    return std::nullopt;
  }
  if (index < 0 || index >= kNamCount) return std::nullopt;
  if (auto at = PositionOf(NamList(), item)) return Entry{ListId::Nam, *at};
  return std::nullopt;
}

}  // namespace

uint8_t NvReadFlags::Get(ListId list, std::size_t position, int index) const {
  switch (list) {
    case ListId::Calibration:
      return position < calibration_.size() && index == 0 ? calibration_[position] : 0;
    case ListId::Settings:
      return position < settings_.size() && index == 0 ? settings_[position] : 0;
    case ListId::Nam:
      return position < nam_.size() && (index == 0 || index == 1) ? nam_[position][index] : 0;
  }
  return 0;
}

void NvReadFlags::Set(ListId list, std::size_t position, int index, uint8_t value) {
  switch (list) {
    case ListId::Calibration:
      if (position < calibration_.size() && index == 0) calibration_[position] = value;
      return;
    case ListId::Settings:
      if (position < settings_.size() && index == 0) settings_[position] = value;
      return;
    case ListId::Nam:
      if (position < nam_.size() && (index == 0 || index == 1)) nam_[position][index] = value;
      return;
  }
}

void NvReadFlags::Clear() {
  calibration_.fill(0);
  settings_.fill(0);
  for (auto& entry : nam_) entry.fill(0);
}

bool NvReadFlags::WasRead(uint16_t item, int index) const {
  const auto entry = Search(item, index);
  return entry && Get(entry->list, entry->position, index == kNoNam ? 0 : index) == 1;
}

bool NvReadFlags::SetRead(uint16_t item, int index, uint8_t value) {
  const auto entry = Search(item, index);
  if (!entry) return false;
  Set(entry->list, entry->position, index == kNoNam ? 0 : index, value);
  return true;
}

}  // namespace zk::nv
