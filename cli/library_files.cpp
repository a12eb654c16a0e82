#include "library_files.h"

#include <dlfcn.h>

#include "zkdownload/zkdownload.h"

namespace zk::cli {

std::filesystem::path LibraryDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&GetModelName_Interface), &info) == 0 || info.dli_fname == nullptr) return ".";
  return std::filesystem::absolute(info.dli_fname).parent_path();
}

std::filesystem::path ErrorLoginFile(int portIndex) {
  return LibraryDirectory() / ("error_login_COM" + std::to_string(portIndex + 1) + ".txt");
}

}  // namespace zk::cli
