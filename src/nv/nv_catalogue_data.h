// The catalogue's constant tables, behind nv_catalogue.h: the lists and one
// value row per item number. Only nv_catalogue.cpp reads them.
#pragma once

#include <cstdint>
#include <span>

#include "nv/nv_catalogue.h"

namespace zk::nv::data {

inline constexpr uint16_t kPlaced = 0xFFFF;  // the layout assigns the offset

struct ItemValue {
  uint16_t item;
  uint8_t size;        // value bytes of one entry, without a NAM index byte
  bool perNam;         // two entries, NAM 0 and NAM 1
  bool sizeChosen;     // no published size for this platform: picked to fit
  uint16_t fixedOffset;  // where other tools expect it, or kPlaced
};

std::span<const CatalogueItem> Calibration();
std::span<const CatalogueItem> Settings();
std::span<const CatalogueItem> Nam();
std::span<const CatalogueItem> Lock();
std::span<const CatalogueItem> NamIdentity();
std::span<const CatalogueItem> Authentication();
std::span<const ItemValue> ItemValues();

}  // namespace zk::nv::data
