// Files the library writes beside itself, as the command finds them.
#pragma once

#include <filesystem>
#include <string>

namespace zk::cli {

// The directory of the loaded libzkdownload.so.
std::filesystem::path LibraryDirectory();

// The error login file the library writes for a port (0 is COM1).
std::filesystem::path ErrorLoginFile(int portIndex);

}  // namespace zk::cli
