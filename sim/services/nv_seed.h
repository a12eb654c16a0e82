// What a handset fresh from the factory answers for its catalogued NV items
// before anything was written: identity, NAM programming, settings and,
// when it was calibrated, its calibration tables.
#pragma once

#include <cstdint>
#include <optional>

#include "services/nv_store.h"

namespace rb310 {

struct NvSeedSource {
  uint32_t esn;
  bool calibrated;  // false: the calibration items were never written
};

// The data field a read of `item` (NAM `index`, or -1) answers, or nullopt
// when the handset holds nothing for it.
std::optional<NvData> SeedValue(uint16_t item, int index, const NvSeedSource& source);

}  // namespace rb310
