// CNVBackup: the NV image, its reads and writes, and the .bak backup files.
#pragma once

class CNVBackup {
 public:
  CNVBackup() = default;
  CNVBackup(const CNVBackup&) = delete;
  CNVBackup& operator=(const CNVBackup&) = delete;
};

extern CNVBackup g_nvBackup;
