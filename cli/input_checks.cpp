#include "input_checks.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace zk::cli {
namespace fs = std::filesystem;

std::string WhyNotReadable(const std::string& path, const std::string& what) {
  std::error_code error;
  const auto status = fs::status(path, error);
  if (!fs::exists(status)) return what + " " + path + " does not exist";
  if (!fs::is_regular_file(status)) return what + " " + path + " is not a regular file";
  if (::access(path.c_str(), R_OK) != 0) return what + " " + path + " cannot be read: " + std::strerror(errno);
  if (fs::file_size(path, error) == 0 && !error) return what + " " + path + " is empty";
  return {};
}

std::string WhyNotPrl(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char head[2] = {};
  if (!in.read(reinterpret_cast<char*>(head), 2)) return "PRL file " + path + " is too short to be a PRL";
  std::error_code error;
  const auto size = fs::file_size(path, error);
  const unsigned declared = static_cast<unsigned>(head[0]) << 8 | head[1];
  if (!error && size != declared)
    return "PRL file " + path + " says it holds " + std::to_string(declared) + " bytes but has " +
           std::to_string(size) + " (damaged, or not a PRL)";
  return {};
}

std::string WhyNotWritable(const std::string& path) {
  const fs::path target(path);
  std::error_code error;
  if (fs::is_directory(target, error)) return path + " is a directory";
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(directory, error)) return "directory " + directory.string() + " does not exist";
  if (::access(directory.c_str(), W_OK) != 0)
    return "cannot write into " + directory.string() + ": " + std::strerror(errno);
  return {};
}

}  // namespace zk::cli
