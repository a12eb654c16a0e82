#include "services/prl_store.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"

namespace rb310 {
namespace fs = std::filesystem;

fs::path PrlStore::PathOf(int nam) const { return directory_ / ("nam" + std::to_string(nam) + ".bin"); }

std::optional<std::vector<uint8_t>> PrlStore::Load(int nam) const {
  std::ifstream in(PathOf(nam), std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PrlStore::Save(int nam, std::span<const uint8_t> bytes) {
  std::error_code error;
  return zk::platform::WriteFileAtomically(PathOf(nam), bytes, error);
}

}  // namespace rb310
