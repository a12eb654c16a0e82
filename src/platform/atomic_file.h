// Replacing a file in one step: the new contents go to a uniquely named
// temporary file beside the target, which is renamed over it only once the
// whole text is on disk. A reader sees the old file or the new one, never a
// half-written one, and two processes writing the same file never share a
// temporary name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

namespace zk::platform {

// Creates the parent directories when needed. On failure the target keeps its
// old contents, no temporary file is left behind and `error` says why.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         std::error_code& error);

inline bool WriteFileAtomically(const std::filesystem::path& target, std::string_view text, std::error_code& error) {
  return WriteFileAtomically(target, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error);
}

}  // namespace zk::platform
