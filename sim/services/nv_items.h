// NV items the handset keeps once per NAM: their requests carry the NAM index
// in data byte 0.
#pragma once

#include <cstdint>
#include <set>

namespace rb310 {

const std::set<uint16_t>& DefaultNamItems();

}  // namespace rb310
