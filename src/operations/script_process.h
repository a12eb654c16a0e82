// CScriptProcess: downloads a script of NV settings and file-system content
// into a handset.
#pragma once

#include <cstdint>
#include <string>

class CScriptProcess {
 public:
  static constexpr int kInputMissing = 0;  // a required input is empty (the host's requirement check)

  CScriptProcess() = default;
  CScriptProcess(const CScriptProcess&) = delete;
  CScriptProcess& operator=(const CScriptProcess&) = delete;

  // The full form: unlock, calibration check, clearing (kinds 0 and 1), PRL
  // and ERI when given, the BREW script directory, the script, and (kinds 2
  // and 3) proof that the handset restarted. Serves handset after handset
  // while the end dialog answers OK. 1, kInputMissing, or a failure code.
  int Run(int16_t kind, const char* spcCode, const char* scriptPath, const char* prlPath, int namSelector,
          int16_t portIndex, const char* eriPath);

  // The unattended form: enters diagnostic mode on `portIndex` and runs the
  // script. 1, 501000 + r (mode entry) or 506000 + r (the script's result r:
  // 46 unreadable, 50 warnings, 53 abandoned). The port stays open.
  int RunUnattended(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex);

 private:
  int RunOneHandset(int16_t kind, const std::string& script, const std::string& prl, int namSelector,
                    int16_t portIndex, const std::string& eri);
  bool MissingRequiredInput(int16_t kind, const std::string& script, const std::string& prl,
                            const std::string& eri) const;
};

extern CScriptProcess g_scriptProcess;
