// Moving values between the NV image and the data field of NV requests.
#include "nv/nv_image.h"

#include <algorithm>

#include "nv/nv_catalogue.h"

namespace zk::nv {
namespace {

bool ValidIndex(const Slot& slot, int index) {
  if (!slot.perNam) return index == kNoNam;
  return index == kNoNam || index == 0 || index == 1;
}

int EntryIndex(int index) { return index == kNoNam ? 0 : index; }

}  // namespace

bool UnpackIntoImage(NvImage& image, uint16_t item, DataField data) {
  const auto slot = FindSlot(item);
  if (!slot) return false;
  if (!slot->perNam) {
    std::copy_n(data.begin(), slot->size, image.begin() + slot->offset);
    return true;
  }
  const uint8_t index = data[0];
  if (index >= kNamCount) return false;
  // The index byte is kept as the entry's first byte, then the value.
  std::copy_n(data.begin(), slot->EntryBytes(), image.begin() + slot->EntryOffset(index));
  return true;
}

bool PackFromImage(const NvImage& image, uint16_t item, int index, MutableDataField data) {
  const auto slot = FindSlot(item);
  if (!slot || !ValidIndex(*slot, index)) return false;
  std::fill(data.begin(), data.end(), uint8_t{0});
  const std::size_t entry = slot->EntryOffset(EntryIndex(index));
  std::copy_n(image.begin() + entry, slot->EntryBytes(), data.begin());
  // An entry never read is all zero; its index byte must still name the NAM.
  if (slot->perNam) data[0] = static_cast<uint8_t>(EntryIndex(index));
  return true;
}

std::span<const uint8_t> ValueBytes(const NvImage& image, uint16_t item, int index) {
  const auto slot = FindSlot(item);
  if (!slot || !ValidIndex(*slot, index)) return {};
  const std::size_t entry = slot->EntryOffset(EntryIndex(index));
  const std::size_t lead = slot->perNam ? 1 : 0;
  return std::span<const uint8_t>(image).subspan(entry + lead, slot->size);
}

}  // namespace zk::nv
