// CNVBackup: the NV image, its reads and writes, and the .bak backup files.
#pragma once

#include <cstddef>

class CNVBackup {
 public:
  static constexpr std::size_t kSoftwareVersionLength = 8;

  CNVBackup() = default;
  CNVBackup(const CNVBackup&) = delete;
  CNVBackup& operator=(const CNVBackup&) = delete;

  // The version request (library-wide buffers); when answered, keeps the
  // handset's 8-character software version. Returns the Transact result.
  int ReadSoftwareVersion();

  // The handset's software version from the last answered version request,
  // zero-terminated (empty until then).
  char m_softwareVersion[kSoftwareVersionLength + 1] = {};
};
