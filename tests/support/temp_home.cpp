#include "support/temp_home.h"

#include <stdlib.h>

#include <stdexcept>
#include <vector>

namespace zk::test {

TempDir::TempDir(const std::string& prefix) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TempHome::TempHome() : dir_("zk-home") {
  if (const char* old = std::getenv("ZKDOWNLOAD_HOME")) previous_ = old;
  setenv("ZKDOWNLOAD_HOME", dir_.path().c_str(), 1);
}

TempHome::~TempHome() {
  if (previous_) {
    setenv("ZKDOWNLOAD_HOME", previous_->c_str(), 1);
  } else {
    unsetenv("ZKDOWNLOAD_HOME");
  }
}

}  // namespace zk::test
