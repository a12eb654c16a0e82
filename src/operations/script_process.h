// CScriptProcess: downloads a script of NV settings and file-system content.
#pragma once

class CScriptProcess {
 public:
  CScriptProcess() = default;
  CScriptProcess(const CScriptProcess&) = delete;
  CScriptProcess& operator=(const CScriptProcess&) = delete;
};

extern CScriptProcess g_scriptProcess;
