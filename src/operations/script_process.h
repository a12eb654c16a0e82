// CScriptProcess: downloads a script of NV settings and file-system content
// into a handset.
#pragma once

#include <cstdint>

class CScriptProcess {
 public:
  CScriptProcess() = default;
  CScriptProcess(const CScriptProcess&) = delete;
  CScriptProcess& operator=(const CScriptProcess&) = delete;

  // The unattended form: enters diagnostic mode on `portIndex` and runs the
  // script. 1, 501000 + r (mode entry) or 506000 + r (the script's result r:
  // 46 unreadable, 50 warnings, 53 abandoned). The port stays open.
  int RunUnattended(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex);
};

extern CScriptProcess g_scriptProcess;
