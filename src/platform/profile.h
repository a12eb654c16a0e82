// The host profile: an INI file ($ZKDOWNLOAD_HOME/profile.ini) of sections
// holding integer and text keys, read and written one key at a time.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zk::platform {

class Profile {
 public:
  // The profile at $ZKDOWNLOAD_HOME/profile.ini.
  static Profile Default();
  explicit Profile(std::filesystem::path file) : file_(std::move(file)) {}

  // The value of `key` in `section`, or `fallback` when the key is absent or
  // not a whole decimal number.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;

  // Sets the key, creating section and file when needed; other lines stay.
  bool WriteInt(std::string_view section, std::string_view key, int value) const;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace zk::platform
