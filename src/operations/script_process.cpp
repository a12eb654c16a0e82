#include "operations/script_process.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/script_clearing_list.h"
#include "operations/script_run.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace {

namespace fs = std::filesystem;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr const char* kCalibrationQuestion = "Cal data is not found!!\nDo you want to continue!!";
constexpr int kSettleSeconds = 2;
constexpr int kRestartChecks = 20;  // kinds 2 and 3: 20 x 1.5 s before the restart is proven
constexpr int kRestartCheckMs = 1500;
constexpr int kStagedEndMs = 10000;
// Required-input bits of the host's requirement mask.
constexpr int kNeedsFallback = 0x20, kNeedsPrl = 0x10, kNeedsEri = 0x08, kNeedsScript = 0x02;

bool Staged(int16_t kind) { return kind == 0 || kind == 1; }

// The staged kinds report their stages to a host that registered buffers.
void EnterStage(int16_t kind, const char* name) {
  if (Staged(kind)) g_dlCommon.ReportStage(name);
}

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// Fields of the BREW version file with their blanks removed.
std::vector<std::string> VersionFields(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> fields;
  if (!in) return fields;
  std::string text((std::istreambuf_iterator<char>(in)), {});
  std::string field;
  for (char c : text + ",") {
    if (c == ',') {
      fields.push_back(field);
      field.clear();
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      field += c;
    }
  }
  return fields;
}

bool ParseNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end != nullptr && *end == '\0';
}

// True when the handset already holds the BREW scripts the directory's
// version file describes, or when the handset's values cannot be read.
bool BrewScriptsCurrent(const fs::path& brewDirectory) {
  const std::vector<std::string> fields = VersionFields(brewDirectory / "brew" / "version.txt");
  long value4 = 0, value5 = 0;
  if (fields.size() < 6 || !ParseNumber(fields[4], value4) || !ParseNumber(fields[5], value5)) return false;
  uint32_t esn = 0, value20 = 0, value21 = 0;
  char vendorText[CDLCommon::kVendorTextLength + 1] = {};
  if (g_dlCommon.ReadHandsetIdentity(esn, vendorText, value20, value21) != 1) return true;
  return fields[3] == vendorText && value4 - 1 == static_cast<long>(value20) &&
         value5 - 56 == static_cast<long>(value21);
}

void ClearUserContent() {
  g_commonProcess.SetProgressRange(1);
  g_commonProcess.SetStatusText("Erasing Efs...");
  g_commonProcess.SetDetailText(" ");
  zk::operations::WaitSecondsWithElapsed(kSettleSeconds);
  CEfsBasicFunction& efs = g_efsDownload.Client();
  // A clearing step that fails leaves content behind but does not stop the download.
  for (const auto& entry : zk::operations::kClearingList) {
    if (entry.directory) static_cast<void>(efs.DeletePhoneDirFiles(entry.path));
    else static_cast<void>(efs.DeletePhoneFile(entry.path));
  }
  g_commonProcess.StepProgress();
}

}  // namespace

bool CScriptProcess::MissingRequiredInput(int16_t kind, const std::string& script, const std::string& prl,
                                          const std::string& eri) const {
  if (g_passPara.m_mode == 0 || !g_passPara.m_requirementSwitch || !Staged(kind)) return false;
  auto missing = [](const std::string& text) { return text.empty() || text == "NULL"; };
  const int mask = g_passPara.m_requirementMask;
  return ((mask & kNeedsFallback) && missing(g_passPara.m_fallbackDirectory)) || ((mask & kNeedsPrl) && missing(prl)) ||
         ((mask & kNeedsEri) && missing(eri)) || ((mask & kNeedsScript) && missing(script));
}

int CScriptProcess::Run(int16_t kind, const char* spcCode, const char* scriptPath, const char* prlPath,
                        int namSelector, int16_t portIndex, const char* eriPath) {
  const std::string script = Text(scriptPath), prl = Text(prlPath), eri = Text(eriPath);
  g_runState.repeatFlag = 0;
  if (MissingRequiredInput(kind, script, prl, eri)) return kInputMissing;
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1);
  g_diagLink.SetSpcCode(spcCode);
  for (;;) {
    const int result = RunOneHandset(kind, script, prl, namSelector, portIndex, eri);
    if (result != 1) return result;
    // A host with result buffers has no operator to attach the next handset.
    if (g_passPara.m_mode != 0) return 1;
    g_runState.repeatFlag = g_commonProcess.RunEndDialog() == zk::ui::DialogAnswer::Ok ? 1 : 0;
    if (!g_runState.repeatFlag) return 1;
  }
}

int CScriptProcess::RunOneHandset(int16_t kind, const std::string& script, const std::string& prl, int namSelector,
                                  int16_t portIndex, const std::string& eri) {
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);
  g_commonProcess.UpdateElapsedTime();

  EnterStage(kind, "DXX01");
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kScriptModeEntry, entered);
  // A port map that cannot be read says nothing about the port: it is
  // taken as a physical line, whose rate is raised.
  try {
    g_dlCommon.m_isUsbPort = zk::serial::IsHandsetUsbPort(portIndex);
  } catch (const std::exception&) {
    g_dlCommon.m_isUsbPort = 0;
  }
  if (g_dlCommon.m_isUsbPort == 0 && !g_diagLink.SpeedUp()) return FailureCode(Location::kScriptModeEntry, 1);

  const auto offline = g_packetProcess.GoOffline();
  if (offline != zk::diag::OfflineResult::kConfirmed) return FailureCode(Location::kScriptOffline, offline);
  EnterStage(kind, "DXX30");
  const auto unlocked = g_diagLink.UnlockAndTypeCode();
  if (unlocked != zk::diag::UnlockResult::kUnlocked) return FailureCode(Location::kScriptUnlock, unlocked);
  zk::operations::WaitSecondsWithElapsed(kSettleSeconds);

  if (g_nvBackup.CheckCalibration() != 1) {
    EnterStage(kind, "DXX07");
    if (Staged(kind)) return FailureCode(Location::kScriptCalibration);
    const auto answer = g_commonProcess.AskMessage(kCalibrationQuestion, zk::ui::MessageButtons::OkCancel);
    if (answer != zk::ui::MessageAnswer::Ok) return FailureCode(Location::kScriptCalibration);
  }
  if (Staged(kind)) {
    EnterStage(kind, "DXX20");
    ClearUserContent();
  }

  if (!prl.empty()) {
    EnterStage(kind, "DXX08");
    const auto written = g_dlCommon.WritePrlList(namSelector, prl);
    if (written != zk::flash::PrlFileResult::kDone) return FailureCode(Location::kScriptPrlWrite, written);
  }
  if (!eri.empty()) {
    EnterStage(kind, "DXX10");
    const auto written = g_dlCommon.WriteEriFile(eri);
    if (written != zk::flash::EriFileResult::kDone) return static_cast<int>(zk::flash::EriFileResult::kWriteFailed);
  }

  const fs::path brew = zk::operations::FindBrewDirectory(script);
  if (brew.empty()) return FailureCode(Location::kScriptNoBrewDirectory);

  if (!Staged(kind) || !BrewScriptsCurrent(brew)) {
    EnterStage(kind, "Brew Writing");
    g_commonProcess.SetStatusText("Brew Writing");
    const int restored = g_efsDownload.EfsRestore(brew.string(), portIndex);
    if (restored != CEfsDownload::kDone) return FailureCode(Location::kScriptBrewWrite, restored);
  }

  g_nvBackup.ClearErrors();
  EnterStage(kind, "DXX18");
  const int run = zk::operations::RunScriptFile(script, kind, zk::operations::LibraryHandset());
  if (run != zk::operations::kScriptDone && run != zk::operations::kScriptWarned)
    return FailureCode(Location::kScriptRun, run);
  if (run == zk::operations::kScriptWarned) {
    // A host with result buffers learns of the warnings from the code.
    if (g_passPara.m_mode != 0) return FailureCode(Location::kScriptRun);
    g_commonProcess.ShowError(zk::operations::kScriptWarned);
  }

  if (!Staged(kind)) {
    for (int i = 0; i < kRestartChecks; ++i) {
      g_commonProcess.UpdateElapsedTime();
      zk::platform::SleepMs(kRestartCheckMs);
    }
    const int back = g_diagLink.EnterDiagMode(portIndex);
    if (back != kDiagModeEntered) return FailureCode(Location::kScriptModeEntry, back);
    g_diagLink.ClosePort();
  } else {
    zk::platform::SleepMs(kStagedEndMs);
  }
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}

int CScriptProcess::RunUnattended(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex) {
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1);
  g_diagLink.SetSpcCode(spcCode);

  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kScriptDownModeEntry, entered);

  // Warnings fail this form too: nobody is there to read them.
  const int run = zk::operations::RunScriptFile(Text(scriptPath), kind, zk::operations::LibraryHandset());
  if (run != zk::operations::kScriptDone) return FailureCode(Location::kScriptDownRun, run);
  return 1;
}
