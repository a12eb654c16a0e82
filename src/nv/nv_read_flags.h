// Which catalogued items the last read pass (or the loaded backup file)
// holds values for: one flag per calibration and settings item, two per NAM
// item (NAM 0 and NAM 1). A restore writes back only flagged entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "nv/nv_catalogue.h"

namespace zk::nv {

enum class ListId { Calibration, Settings, Nam };

class NvReadFlags {
 public:
  // Flag of entry `position` of `list` for `index` (0 or 1; the calibration
  // and settings lists have only index 0, their index 1 is always 0).
  uint8_t Get(ListId list, std::size_t position, int index) const;
  void Set(ListId list, std::size_t position, int index, uint8_t value);
  void Clear();

  // The query the NV editor uses: index kNoNam searches the calibration
  // list, then the settings list; 0 or 1 searches the NAM list. The first
  // entry with the number answers; an unknown item was not read.
  bool WasRead(uint16_t item, int index) const;
  // Same search; stores `value` and answers true, or false when no entry matches.
  bool SetRead(uint16_t item, int index, uint8_t value);

 private:
  std::array<uint8_t, kCalibrationCount> calibration_{};
  std::array<uint8_t, kSettingsCount> settings_{};
  std::array<std::array<uint8_t, kNamCount>, kNamListCount> nam_{};
};

}  // namespace zk::nv
