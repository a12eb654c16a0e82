// Host paths and the library's home directory.
//
// Host paths handed in by callers may use either '\' or '/' as separator;
// paths the library builds itself always use '/'.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zk::platform {

// $ZKDOWNLOAD_HOME, else ~/.zkdownload, as the settings in force hold it
// (see library_state.h: read at load and at every exported call).
std::filesystem::path Home();

// Position of the last '\' or '/' in `path`, or npos.
std::size_t LastSeparator(std::string_view path);

// The part of `path` before its last separator ("" when there is none).
std::string DirectoryOf(std::string_view path);

// The part after the last separator (the whole text when there is none).
std::string FileNameOf(std::string_view path);

// `directory` joined with `name` by a '/' (no separator added to an empty directory).
std::string JoinHostPath(std::string_view directory, std::string_view name);

// `path` with every '\' turned into '/', ready to open on this system.
std::string NormalizeHostPath(std::string_view path);

}  // namespace zk::platform
