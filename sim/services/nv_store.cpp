#include "services/nv_store.h"

#include <fstream>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"

namespace rb310 {
namespace fs = std::filesystem;

NvStore::NvStore(fs::path directory) : directory_(std::move(directory)) {}

fs::path NvStore::PathOf(uint16_t item, int index) const {
  std::string name = std::to_string(item);
  if (index >= 0) name.append(1, '-').append(std::to_string(index));
  name.append(".bin");
  return directory_ / name;
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
  return zk::platform::WriteFileAtomically(PathOf(item, index), data, error);
}

void NvStore::Erase(uint16_t item, int index) {
  std::error_code ignored;
  fs::remove(PathOf(item, index), ignored);
}

void NvStore::EraseAll() {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(directory_, ignored)) fs::remove(entry.path(), ignored);
}

}  // namespace rb310
