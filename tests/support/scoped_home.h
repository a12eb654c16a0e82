// A temporary $ZKDOWNLOAD_HOME for one test: created empty, pointed to by the
// variable while the object lives, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace zk::test {

class ScopedHome {
 public:
  ScopedHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zkhome-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
    if (const char* old = getenv("ZKDOWNLOAD_HOME")) previous_ = old;
    setenv("ZKDOWNLOAD_HOME", path_.c_str(), 1);
  }
  ~ScopedHome() {
    if (previous_) setenv("ZKDOWNLOAD_HOME", previous_->c_str(), 1);
    else unsetenv("ZKDOWNLOAD_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedHome(const ScopedHome&) = delete;
  ScopedHome& operator=(const ScopedHome&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::optional<std::string> previous_;
};

}  // namespace zk::test
