#include "operations/refurbish.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "diag/diag_link.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/operation_run.h"
#include "operations/script_run.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"
#include "ui/silent_mode.h"

namespace {

namespace fs = std::filesystem;
using zk::operations::EnterDiagModeWithRetries;
using zk::operations::EnterStage;
using zk::operations::LowByte;
using zk::operations::RaiseLink;
using zk::operations::WaitSecondsWithElapsed;
using zk::flash::DownloadResult;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kLateModeEntryTries = 4;  // kinds 2 and 3
constexpr int kRestartSeconds = 20;     // the handset restarts after the script
constexpr int kRateRaiseCause = 1;
constexpr int kNoScriptCause = zk::operations::kScriptNotLoaded;
constexpr int kNoBrewDirectoryCause = 28;  // what the file-system write answers for a missing directory



bool Silent() { return zk::ui::SilentMode(); }

// Nobody reads a dialog: in silent mode, or when the host registered its
// buffers and takes the result from the result cell.
bool Unattended() { return Silent() || g_passPara.m_mode != 0; }

bool Readable(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && std::ifstream(path).good();
}

}  // namespace

int CRefurbish::Run(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex) {
  auto& engine = g_dlCommon;
  const OperationRunScope timing;
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1);
  engine.m_efsEraseMode = true;
  engine.m_skipOffline = false;
  g_diagLink.SetSpcCode(spcCode);
  const std::string script = scriptPath != nullptr ? scriptPath : "";

  for (;;) {
    const int result = OneHandset(kind, script.c_str(), portIndex);
    if (result != 1) {
      KeepPendingItems(portIndex);
      engine.m_efsEraseMode = false;
      return result;
    }
    if (Silent()) break;
    // A host that registered its buffers has no operator to attach the next
    // handset: one handset per call, whatever an earlier call left in the
    // repeat flag.
    if (g_passPara.m_mode != 0) break;
    g_runState.repeatFlag = g_commonProcess.RunEndDialog() == zk::ui::DialogAnswer::Ok ? 1 : 0;
    if (!g_runState.repeatFlag) break;
  }
  EnterStage(kind, "END");
  engine.m_efsEraseMode = false;
  engine.m_mainLoaded = false;
  return 1;
}

int CRefurbish::OneHandset(int16_t kind, const char* scriptPath, int16_t portIndex) {
  const std::string script = scriptPath;
  // Inputs that cannot serve are refused before the handset's file system
  // is erased: a handset left empty for want of a PC file is no refurbish.
  if (!Readable(script)) return FailureCode(Location::kRefurbishScript, kNoScriptCause);
  const fs::path brew = zk::operations::BrewDirectoryBeside(script);
  if (!Silent() && !zk::operations::IsDirectory(brew)) {
    g_runState.failureNote = "no directory to write at " + brew.string();
    return FailureCode(Location::kRefurbishScript, kNoBrewDirectoryCause);
  }

  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);
  g_commonProcess.SetProgressPosition(0);
  g_commonProcess.UpdateElapsedTime();

  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kRefurbishModeEntry, entered);
  g_operationRun.NoteVersion(g_diagLink.m_softwareVersion);
  if (const int raised = RaiseRateOnLine(portIndex); raised != 1) return raised;
  if (!Silent()) zk::platform::SleepMs(1000);

  EnterStage(kind, "NV Reading");
  const int read = g_nvBackup.BackupRead(false);
  if (read != CNVBackup::kDone) return FailureCode(Location::kRefurbishReadNv, read);
  WaitSecondsWithElapsed(2);
  const int akeysRead = g_nvBackup.AKeyRead();
  if (akeysRead != 1) return FailureCode(Location::kRefurbishReadNv, LowByte(akeysRead));

  g_commonProcess.UpdateElapsedTime();
  EnterStage(kind, "EFS Erasing ");
  if (g_dlCommon.EraseHandsetEfs() != DownloadResult::kDone) return FailureCode(Location::kRefurbishErase);

  EnterStage(kind, "ChangeToDM...");
  const int reentered = EnterDiagModeWithRetries(portIndex, FullSequence(kind) ? kLateModeEntryTries : 1);
  if (reentered != kDiagModeEntered) return FailureCode(Location::kRefurbishLateModeEntry, reentered);
  g_commonProcess.UpdateElapsedTime();
  const int again = g_diagLink.EnterDiagMode(portIndex);
  if (again != kDiagModeEntered) return FailureCode(Location::kRefurbishLateModeEntry, again);
  if (const int raised = RaiseRateOnLine(portIndex); raised != 1) return raised;
  zk::platform::SleepMs(1000);

  const int restored = g_nvBackup.Restore(false);
  if (restored != CNVBackup::kDone) return FailureCode(Location::kRefurbishWriteNv, restored);
  const int akeysWritten = g_nvBackup.AKeyWrite();
  if (akeysWritten != 1) return FailureCode(Location::kRefurbishWriteNv, LowByte(akeysWritten));
  // The handset holds its items again: a later failure must not save this
  // image as if it were the only copy.
  g_commonProcess.m_nvBackupPending = 0;

  g_commonProcess.UpdateElapsedTime();
  if (!Silent()) {
    const int written = g_efsDownload.EfsRestore(brew.string(), portIndex);
    if (written != CEfsDownload::kDone) return FailureCode(Location::kRefurbishScript, written);
  }

  g_nvBackup.ClearErrors();
  g_runState.failureNote.clear();  // every step so far succeeded: a note now speaks of the script
  const int run = zk::operations::RunScriptFile(script, kind, zk::operations::LibraryHandset());
  if (run != zk::operations::kScriptDone && run != zk::operations::kScriptWarned)
    return FailureCode(Location::kRefurbishScript, run);
  if (run == zk::operations::kScriptWarned) {
    // Items the script could not write leave the handset short of its
    // provisioning: an operator is told and goes on, a host learns it from
    // the code.
    if (Unattended()) return FailureCode(Location::kRefurbishScript, run);
    g_runState.failureNote = "the script ran with warnings: some of its lines did not take";
    g_commonProcess.ShowError(zk::operations::kScriptWarned);
  }

  WaitSecondsWithElapsed(kRestartSeconds);
  if (!Silent()) g_commonProcess.UpdateElapsedTime();
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}

int CRefurbish::RaiseRateOnLine(int16_t portIndex) {
  g_dlCommon.m_isUsbPort = zk::serial::CheckHandsetUsbPort(portIndex);
  g_runState.handsetUsbPort = g_dlCommon.m_isUsbPort;
  if (!RaiseLink(g_dlCommon.m_isUsbPort != 0))
    return FailureCode(Location::kRefurbishRateRaise, kRateRaiseCause);
  return 1;
}


void CRefurbish::KeepPendingItems(int16_t portIndex) {
  if (g_commonProcess.m_nvBackupPending == 0 || !Unattended()) return;  // the error dialog saves them
  const fs::path path(CNVBackup::AutomaticFileName(portIndex, std::time(nullptr)));
  std::string problem;
  std::string& note = g_runState.failureNote;
  if (!note.empty()) note += "; ";
  if (g_nvBackup.SaveBackupFile(path, &problem)) {
    std::error_code error;
    note += "NV items kept in " + fs::absolute(path, error).string();
    g_commonProcess.m_nvBackupPending = 0;
  } else {
    note += problem;
  }
}
