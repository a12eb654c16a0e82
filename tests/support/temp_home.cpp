#include "support/temp_home.h"

#include <stdlib.h>

#include <stdexcept>
#include <vector>

#include "platform/library_state.h"

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

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  if (value != nullptr)
    setenv(name, value, 1);
  else
    unsetenv(name);
  zk::platform::RefreshSettings();
}

ScopedEnv::~ScopedEnv() {
  if (previous_)
    setenv(name_.c_str(), previous_->c_str(), 1);
  else
    unsetenv(name_.c_str());
  zk::platform::RefreshSettings();
}

TempHome::TempHome() : dir_("zk-home"), home_("ZKDOWNLOAD_HOME", dir_.path().c_str()) {}

TempHome::~TempHome() = default;

}  // namespace zk::test
