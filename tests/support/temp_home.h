// Fresh temporary directories for tests, and a ZKDOWNLOAD_HOME that points at
// one for the life of a test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zk::test {

// A new empty directory under $TMPDIR (or /tmp), removed with its contents
// when the object goes.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "zk-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Sets (or, with nullptr, unsets) an environment variable for the life of
// the object and has this process's library read its settings anew, both
// when it starts and when it ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Points ZKDOWNLOAD_HOME at a fresh directory and restores the previous value
// on destruction.
class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path PortsDir() const { return path() / "ports"; }

 private:
  TempDir dir_;
  ScopedEnv home_;
};

}  // namespace zk::test
