// Files of the handset's state directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace rb310 {

// Writes `bytes` beside `target` and renames it over, creating the directory
// when needed, so that a restart or a reader never finds a half-written
// file. False (and no stray file) when any step fails.
bool WriteStateFile(const std::filesystem::path& target, std::span<const uint8_t> bytes);

}  // namespace rb310
