// The catalogue of NV items the library knows: which items exist, their
// numbers and NV_..._I names, the order every backup read and restore walks
// them in, and where each item's value lives in the NV image. The catalogue
// is constant data; the read flags that change at run time live in
// NvReadFlags (nv_read_flags.h), the values in the image (nv_image.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zk::nv {

inline constexpr int kNamCount = 2;
inline constexpr int kNoNam = -1;  // the index of an item kept once, not per NAM

struct CatalogueItem {
  uint16_t item;     // the number sent in NV read and write requests
  const char* name;  // "NV_..._I", for log lines and the command line
};

// The lists, each in the order the passes walk it.
std::span<const CatalogueItem> CalibrationList();     // 204 items, read first, always
std::span<const CatalogueItem> SettingsList();        // 198 items, with the option flag
std::span<const CatalogueItem> NamList();             // 56 items, once per NAM, with the option flag
std::span<const CatalogueItem> LockList();            // NV_LOCK_CODE_I, rewritten in silent mode
std::span<const CatalogueItem> NamIdentityList();     // MIN1, MIN2, IMSI MCC, IMSI 11_12, DIR_NUMBER
std::span<const CatalogueItem> AuthenticationList();  // the AKey read and write, per NAM
inline constexpr CatalogueItem kCalibrationCheckItem{138, "NV_CDMA_TX_LIM_VS_FREQ_I"};

inline constexpr std::size_t kCalibrationCount = 204;
inline constexpr std::size_t kSettingsCount = 198;
inline constexpr std::size_t kNamListCount = 56;
// Steps of a pass: calibration only, or everything with the option flag.
inline constexpr int kShortPassSteps = 204;
inline constexpr int kFullPassSteps = 204 + 198 + 2 * 56;

// Where an item's value sits in the NV image. An item kept once has `size`
// value bytes at `offset`. A NAM item has two entries at `offset` and
// `offset + 1 + size`, each its NAM index byte followed by `size` value bytes.
struct Slot {
  uint16_t offset;
  uint8_t size;  // value bytes of one entry, without the index byte (at most 127 for NAM items)
  bool perNam;

  std::size_t EntryBytes() const { return perNam ? 1u + size : size; }
  std::size_t TotalBytes() const { return perNam ? 2u * (1u + size) : size; }
  // Offset of the entry for `index` (kNoNam for an item kept once).
  std::size_t EntryOffset(int index) const { return perNam ? offset + (index == 1 ? EntryBytes() : 0) : offset; }
};

// Every item of every list has a slot; an item in several lists has one.
std::optional<Slot> FindSlot(uint16_t item);
// Every slot, ordered by offset (for the layout test and tools).
struct SlotEntry {
  uint16_t item;
  Slot slot;
};
std::span<const SlotEntry> AllSlots();

// The name of a catalogued item, or nullptr.
const char* ItemName(uint16_t item);
// The item named `name` ("NV_ESN_I"), or nothing.
std::optional<uint16_t> ItemNumber(std::string_view name);

}  // namespace zk::nv
