// The library's settings file, $ZKDOWNLOAD_HOME/ZKDownload.lsg: a small
// binary file read once at load. Only one byte of it has a meaning today.
#pragma once

#include <cstddef>
#include <filesystem>

namespace zk::operations {

inline constexpr const char* kSettingsFileName = "ZKDownload.lsg";
inline constexpr std::size_t kSettingsReadLimit = 1000;
inline constexpr std::size_t kNvEditorOptionOffset = 65;

std::filesystem::path SettingsFilePath();

// True when byte 65 of `file` is nonzero. A missing or unreadable file and
// a file too short to reach byte 65 both give false.
bool ReadNvEditorOption(const std::filesystem::path& file);

}  // namespace zk::operations
