#include "state_file.h"

#include <fstream>

namespace rb310 {
namespace fs = std::filesystem;

bool WriteStateFile(const fs::path& target, std::span<const uint8_t> bytes) {
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) return false;
  const fs::path fresh = target.string() + ".new";
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(fresh, error);
      return false;
    }
  }
  fs::rename(fresh, target, error);
  return !error;
}

}  // namespace rb310
