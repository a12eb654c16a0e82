// The library's version text and interface level, for hosts that check what
// they loaded.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "zkdownload/zkdownload.h"

extern "C" {

ZK_API int GetVersion_Interface(char* version, int size) {
  if (version != nullptr && size > 0) {
    constexpr std::string_view kVersion = ZK_VERSION;
    const auto count = std::min(kVersion.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(version, kVersion.data(), count);
    version[count] = '\0';
  }
  return ZK_INTERFACE_LEVEL;
}

}  // extern "C"
