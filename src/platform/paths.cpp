#include "platform/paths.h"

#include "platform/library_state.h"

namespace zk::platform {

std::filesystem::path Home() { return CurrentSettings().home; }

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

std::string DirectoryOf(std::string_view path) {
  const auto cut = LastSeparator(path);
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

std::string FileNameOf(std::string_view path) {
  const auto cut = LastSeparator(path);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string JoinHostPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (!joined.empty() && joined.back() != '/' && joined.back() != '\\') joined += '/';
  joined += name;
  return joined;
}

std::string NormalizeHostPath(std::string_view path) {
  std::string normalized(path);
  for (char& c : normalized)
    if (c == '\\') c = '/';
  return normalized;
}

}  // namespace zk::platform
