// The full path of the loaded zkdownload library (or of the executable that
// linked it statically).
#pragma once

#include <string>

namespace zk::platform {

std::string LibraryPath();

}  // namespace zk::platform
