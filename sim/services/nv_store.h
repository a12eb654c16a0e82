// The handset's NV items, kept in <state>/nv: one file per item (or per item
// and NAM index) holding the 128-byte data field last written, each replaced
// in one step so that a restart never finds half an item.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "services/diag_codes.h"

namespace rb310 {

using NvData = std::array<uint8_t, diag::kNvDataSize>;

class NvStore {
 public:
  explicit NvStore(std::filesystem::path directory);

  const std::filesystem::path& directory() const { return directory_; }

  // The stored data field; nullopt when the item was never written. `index`
  // is the NAM index of an indexed item, -1 otherwise.
  std::optional<NvData> Read(uint16_t item, int index) const;
  // Stores the data field; false when the file cannot be written.
  bool Write(uint16_t item, int index, const NvData& data);
  void Erase(uint16_t item, int index);
  // Forgets every item (a handset whose NV was lost).
  void EraseAll();

  std::filesystem::path PathOf(uint16_t item, int index) const;

 private:
  std::filesystem::path directory_;
};

}  // namespace rb310
