#include "nv_store.h"

#include <fstream>
#include <string>

namespace rb310 {
namespace fs = std::filesystem;

NvStore::NvStore(fs::path directory) : directory_(std::move(directory)) {}

fs::path NvStore::PathOf(uint16_t item, int index) const {
  std::string name = std::to_string(item);
  if (index >= 0) name += "-" + std::to_string(index);
  return directory_ / (name + ".bin");
}

std::optional<NvData> NvStore::Read(uint16_t item, int index) const {
  std::ifstream in(PathOf(item, index), std::ios::binary);
  if (!in) return std::nullopt;
  // A file prepared by hand may be shorter or longer than the field: take
  // what fits and leave the rest zero.
  NvData data{};
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return data;
}

bool NvStore::Write(uint16_t item, int index, const NvData& data) {
  std::error_code error;
  fs::create_directories(directory_, error);
  if (error) return false;
  // Written beside and renamed over, so a restart or a reader never finds a
  // half-written item.
  const fs::path target = PathOf(item, index);
  const fs::path fresh = target.string() + ".new";
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) return false;
  }
  fs::rename(fresh, target, error);
  return !error;
}

void NvStore::Erase(uint16_t item, int index) {
  std::error_code ignored;
  fs::remove(PathOf(item, index), ignored);
}

}  // namespace rb310
