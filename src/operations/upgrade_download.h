// CUpgradeDownload: the firmware upgrade, saving and restoring the handset's
// NV items, authentication items and file system around the download. It also
// holds the model identity that the host queries.
#pragma once

#include <string>

class CUpgradeDownload {
 public:
  // Fixes the model identity and reads the settings file.
  CUpgradeDownload();
  CUpgradeDownload(const CUpgradeDownload&) = delete;
  CUpgradeDownload& operator=(const CUpgradeDownload&) = delete;

  const std::string m_modelKind;
  const std::string m_modelName;
  const std::string m_binVersion;  // prefix of the handset's binary version
};

extern CUpgradeDownload g_upgradeDownload;
