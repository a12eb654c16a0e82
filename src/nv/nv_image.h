// The NV image: the host's copy of the handset's NV values, 8168 bytes packed
// without padding, one slot per catalogued item (nv_catalogue.h). Values
// travel between the image and the 128-byte data field of NV read answers
// and NV write requests through the same slot table both ways, so a value
// read and written back reaches the handset unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::nv {

inline constexpr std::size_t kImageSize = 8168;
inline constexpr std::size_t kDataFieldSize = 128;

using NvImage = std::array<uint8_t, kImageSize>;
using DataField = std::span<const uint8_t, kDataFieldSize>;
using MutableDataField = std::span<uint8_t, kDataFieldSize>;

// Copies the value of `item` from a read answer's data field into its slot.
// For a NAM item the first data byte is the NAM index; it selects the entry
// and is stored as the entry's first byte. False (image unchanged) when the
// item has no slot or the index byte is not 0 or 1.
bool UnpackIntoImage(NvImage& image, uint16_t item, DataField data);

// Fills a write request's data field with the value of `item` (NAM entry
// `index`, or kNoNam) from its slot; the rest of the field is zero. For a
// NAM item the entry's index byte leads the field; kNoNam on a NAM item
// means its NAM 0 entry (the settings list reads and writes NV_OTKSL_I that
// way). False when the item has no slot or the index is out of range (a
// build failure).
bool PackFromImage(const NvImage& image, uint16_t item, int index, MutableDataField data);

// The bytes of one entry's value in the image (after the index byte for a
// NAM item); empty when the item has no slot.
std::span<const uint8_t> ValueBytes(const NvImage& image, uint16_t item, int index);

}  // namespace zk::nv
