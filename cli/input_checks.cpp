#include "input_checks.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

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

uint16_t PrlCheckRegister(const uint8_t* bytes, std::size_t count) {
  uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    crc ^= static_cast<uint16_t>(bytes[i] << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

std::string PrlCheckWarning(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  if (bytes.size() < 4) return {};  // too short for a list: WhyNotPrl has said so
  const std::size_t body = bytes.size() - 2;
  const auto stored = static_cast<uint16_t>(bytes[body] << 8 | bytes[body + 1]);
  const uint16_t reg = PrlCheckRegister(bytes.data(), body);
  if (stored == static_cast<uint16_t>(~reg) || stored == reg) return {};
  char found[8], expected[8];
  std::snprintf(found, sizeof found, "%04X", stored);
  std::snprintf(expected, sizeof expected, "%04X", static_cast<uint16_t>(~reg));
  return "PRL file " + path + " ends with check sequence " + found + ", not " + expected +
         " as computed over its contents: it may be damaged; the handset will judge it";
}

std::string WhyNotModelImage(const std::string& path, const std::string& prefix) {
  const auto slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  bool matches = name.size() >= prefix.size();
  for (std::size_t i = 0; matches && i < prefix.size(); ++i)
    matches = std::toupper(static_cast<unsigned char>(name[i])) == std::toupper(static_cast<unsigned char>(prefix[i]));
  if (matches) return {};
  return "image " + path + ": the full sequences take only images named " + prefix + "...";
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

std::string WhyNotHandsetPath(const std::string& path) {
  constexpr std::size_t kMaxHandsetPath = 127;
  if (path.empty() || path.front() != '/') return "handset path '" + path + "' must begin with /";
  if (path.find('\\') != std::string::npos) return "handset path '" + path + "' must use / between names";
  if (path.size() > kMaxHandsetPath)
    return "handset path '" + path + "' is longer than " + std::to_string(kMaxHandsetPath) + " characters";
  return {};
}

std::string WhyNotWritableDirectory(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  if (!fs::is_directory(path, error)) return "directory " + path + " does not exist and cannot be made";
  if (::access(path.c_str(), W_OK) != 0) return "cannot write into " + path + ": " + std::strerror(errno);
  return {};
}

}  // namespace zk::cli
