// The handset's file system (EFS), kept as the directory <state>/efs. Its
// requests come in two families: under subsystem dispatch (code 0x4B,
// subsystem 0x13, a 16-bit sub-command) and the older one under code 0x59
// with an operation byte. The service declares the older family's layout;
// its handlers of both families are registered in Register as they are
// added. Until then every file system request gets the bad-command answer,
// like any request the handset does not know.
#pragma once

#include <filesystem>

#include "core/service.h"

namespace rb310 {

class FileSystemService : public Service {
 public:
  explicit FileSystemService(std::filesystem::path directory) : directory_(std::move(directory)) {}

  const char* name() const override { return "file system"; }
  void Register(Dispatchers& dispatchers) override;

  const std::filesystem::path& directory() const { return directory_; }
  // Removes everything in the file system (never following links out of
  // it) and leaves it empty, creating it when missing; the downloader's EFS
  // erase. False when something could not be removed.
  bool Erase();

 private:
  std::filesystem::path directory_;
};

}  // namespace rb310
