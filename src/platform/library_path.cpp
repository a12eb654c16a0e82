#include "platform/library_path.h"

#include <dlfcn.h>

#include <filesystem>

namespace zk::platform {

std::string LibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryPath), &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : absolute.lexically_normal().string();
}

}  // namespace zk::platform
