#include "services/nv_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Rewrites a stored item of the field's size where it lies: one write of a
// few bytes into one page, which a stopped or killed simulator never leaves
// half done, and no new file (a restore rewrites hundreds of items, and a
// new file for each costs the file system far more than the write).
bool RewriteInPlace(const fs::path& path, const NvData& data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool whole = ::fstat(fd, &info) == 0 && info.st_size == static_cast<off_t>(data.size()) &&
                     ::pwrite(fd, data.data(), data.size(), 0) == static_cast<ssize_t>(data.size());
  return ::close(fd) == 0 && whole;
}

}  // namespace

bool NvStore::Write(uint16_t item, int index, const NvData& data) {
  const fs::path path = PathOf(item, index);
  if (RewriteInPlace(path, data)) return true;
  std::error_code error;
  return zk::platform::WriteFileAtomically(path, data, error);
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
