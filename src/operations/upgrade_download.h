// CUpgradeDownload: the firmware upgrade, saving and restoring the handset's
// NV items, authentication items and file system around the download, then
// writing a PRL, an ERI file and a script. It also holds the model identity
// that the host queries.
//
// Kinds 0 and 1 run the staged sequence (stages "DXX01" to "DXX30" in the
// host's stage report); every other kind runs the full sequence, which also
// copies the handset's file system to the PC and back, keeps the
// authentication items and proves the handset restarts after a reset.
#pragma once

#include <cstdint>
#include <string>

#include "ui/failure_code.h"

class CUpgradeDownload {
 public:
  // What the exports hand over.
  struct Request {
    int16_t kind = 0;
    std::string spcCode;      // empty: the default code
    std::string imagePath;
    std::string scriptPath;   // empty: no BREW directory and no script
    std::string prlPath;      // empty: no PRL
    int namSelector = 0;
    std::string efsLocation;  // full sequence: where the file system copy goes
    char flag = 0;
    int16_t portIndex = 0;
    std::string eriPath;      // empty: no ERI file
    int16_t param1 = 0, param2 = 0, param3 = -1;
  };

  // Fixes the model identity and reads the settings file.
  CUpgradeDownload();
  CUpgradeDownload(const CUpgradeDownload&) = delete;
  CUpgradeDownload& operator=(const CUpgradeDownload&) = delete;

  // 1, or a failure code (see failure_code.h, the Upgrade locations). Serves
  // handset after handset while the end dialog answers OK; one handset when
  // the host registered its buffers.
  int Run(const Request& request);

  static bool Staged(int16_t kind) { return kind == 0 || kind == 1; }

  const std::string m_modelKind;
  const std::string m_modelName;
  const std::string m_binVersion;  // prefix of the handset's binary version

 private:
  int StagedPass(const Request& request);
  int FullPass(const Request& request);
  // Runs the script; a run that ended with warnings is noted and goes on.
  // 1, or `location` + the script's result.
  int RunScript(const Request& request, zk::ui::Location location);
  // The script warnings, the end pause of the staged kinds and the window.
  int EndPass(const Request& request);

  bool m_scriptWarned = false;  // per call
};

extern CUpgradeDownload g_upgradeDownload;
