// The catalogue of NV items the handset holds values for from its first
// start, with the size of each value.
#pragma once

#include <cstdint>
#include <span>

namespace rb310 {

struct NvSeedItem {
  uint16_t item;
  uint8_t size;  // value bytes; a per-NAM item's data field leads with the NAM index
  bool perNam;
  bool calibration;  // factory calibration: absent on a handset that was never calibrated
};

std::span<const NvSeedItem> NvSeedItems();

}  // namespace rb310
