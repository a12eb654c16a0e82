// The full upgrade (every kind but 0 and 1): NV items, authentication items
// and the handset's file system saved to the PC, image burnt, everything
// written back, PRL, script and ERI, then a reset and proof of the restart.
#include <filesystem>
#include <system_error>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "flash/image_rules.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/operation_run.h"
#include "operations/upgrade_download.h"
#include "ui/common_process.h"

namespace {

namespace fs = std::filesystem;
using zk::operations::LowByte;
using zk::operations::WaitSecondsWithElapsed;
using zk::operations::EnterStage;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kAfterDownloadSeconds = 3;
constexpr int kScriptRestartSeconds = 25;  // the handset restarts after the script
constexpr int kBeforeModeEntrySeconds = 8;
constexpr int kAfterResetSeconds = 20;
constexpr int kModeEntryTries = 4;

void ProgressStep(const char* status) {
  g_commonProcess.OpenProgressWindow();
  if (status != nullptr) {
    g_commonProcess.SetStatusText(status);
    g_commonProcess.SetDetailText(" ");
  }
  g_commonProcess.SetProgressRange(100);
}

// The copy made by this run, once the handset holds it again. Symbolic
// links inside are removed, never followed.
void RemoveLocalCopy(const std::string& location, int16_t port) {
  const fs::path copy = CEfsDownload::BackupDirectory(location, port);
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(copy, error))) return;
  fs::remove_all(copy, error);
}

}  // namespace

int CUpgradeDownload::FullPass(const Request& request) {
  const int16_t kind = request.kind, port = request.portIndex;
  auto& engine = g_dlCommon;
  // The model check comes before the handset is touched at all.
  if (!zk::flash::ImageNameHasPrefix(request.imagePath, m_binVersion)) return FailureCode(Location::kBinImageName);

  ProgressStep(nullptr);
  g_commonProcess.SetProgressPosition(0);
  g_commonProcess.UpdateElapsedTime();
  EnterStage(kind, "ChangeToDM", false);
  const int entered = g_diagLink.EnterDiagMode(port);
  if (entered != kDiagModeEntered) return FailureCode(Location::kUpgradeFullModeEntry, entered);
  g_operationRun.NoteVersion(g_diagLink.m_softwareVersion);
  if (!zk::operations::RaiseLink(engine.m_isUsbPort != 0)) return FailureCode(Location::kLinkSpeed, 1);

  EnterStage(kind, "NV Reading");
  const int read = g_nvBackup.BackupRead(true);
  if (read != CNVBackup::kDone) return FailureCode(Location::kUpgradeFullReadNv, read);
  // From here until the restore the PC's copy may become the only one: a
  // failure saves it to a backup file.
  g_commonProcess.m_nvBackupPending = 1;
  EnterStage(kind, "AKey Reading");
  const int akeysRead = g_nvBackup.AKeyRead();
  if (akeysRead != 1) return FailureCode(Location::kUpgradeReadNv, LowByte(akeysRead));

  ProgressStep("EFS Reading...");
  EnterStage(kind, "EFS Reading", false);
  const int efsRead = g_efsDownload.EfsBackup(request.efsLocation, port);
  if (efsRead != CEfsDownload::kDone) return FailureCode(Location::kUpgradeEfsRead, efsRead);

  ProgressStep(nullptr);
  EnterStage(kind, "DownLoadThread", false);
  const auto downloaded = engine.DownloadImage();
  if (downloaded != zk::flash::DownloadResult::kDone) return FailureCode(Location::kUpgradeFullDownload, downloaded);

  WaitSecondsWithElapsed(kAfterDownloadSeconds);
  ProgressStep(nullptr);
  EnterStage(kind, "ChangeToDM...");
  const int back = zk::operations::EnterDiagModeWithRetries(port, kModeEntryTries);
  if (back != kDiagModeEntered) return FailureCode(Location::kUpgradeRestartModeEntry, back);
  if (!zk::operations::RaiseLink(engine.m_isUsbPort != 0)) return FailureCode(Location::kLinkSpeed, 1);
  // The proof that the image took.
  const int version = zk::operations::ReadBackVersion();
  if (version != 1) return version;

  ProgressStep(nullptr);
  EnterStage(kind, "EFS Writing", false);
  const int efsWritten = g_efsDownload.EfsRestore(request.efsLocation, port);
  if (efsWritten != CEfsDownload::kDone) return FailureCode(Location::kUpgradeEfsWrite, efsWritten);

  const auto unlocked = g_diagLink.UnlockAndRelease();
  if (unlocked != zk::diag::UnlockResult::kUnlocked) return FailureCode(Location::kUpgradeUnlock, unlocked);

  if (!request.prlPath.empty()) {
    EnterStage(kind, "PRL Writing", false);
    const auto written = engine.WritePrlList(request.namSelector, request.prlPath);
    if (written != zk::flash::PrlFileResult::kDone) return FailureCode(Location::kUpgradeFullPrlWrite, written);
  }
  if (!request.scriptPath.empty()) {
    EnterStage(kind, "Script Writing", false);
    const int script = RunScript(request, Location::kUpgradeFullScript);
    if (script != 1) return script;
    WaitSecondsWithElapsed(kScriptRestartSeconds);
    ProgressStep(nullptr);
    EnterStage(kind, "ChangeToDM...");
    WaitSecondsWithElapsed(kBeforeModeEntrySeconds);
    const int again = zk::operations::EnterDiagModeWithRetries(port, kModeEntryTries);
    if (again != kDiagModeEntered) return FailureCode(Location::kUpgradeLateModeEntry, again);
    if (!zk::operations::RaiseLink(engine.m_isUsbPort != 0)) return FailureCode(Location::kLinkSpeed, 1);
  }

  ProgressStep(nullptr);
  EnterStage(kind, "NV Writing", false);
  const int restored = g_nvBackup.Restore(true);
  if (restored != CNVBackup::kDone) return FailureCode(Location::kUpgradeFullWriteNv, restored);
  EnterStage(kind, "AKeys Writing");
  const int akeysWritten = g_nvBackup.AKeyWrite();
  if (akeysWritten != 1) return FailureCode(Location::kUpgradeWriteNv, LowByte(akeysWritten));
  g_commonProcess.m_nvBackupPending = 0;  // the handset holds its items again

  if (!request.eriPath.empty()) {
    EnterStage(kind, "ERI Writing", false);
    if (engine.WriteEriFile(request.eriPath) != zk::flash::EriFileResult::kDone)
      return static_cast<int>(zk::flash::EriFileResult::kWriteFailed);
  }
  RemoveLocalCopy(request.efsLocation, port);

  g_commonProcess.OpenProgressWindow();
  EnterStage(kind, " Mode Reset", false);
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return FailureCode(Location::kUpgradeReset);
  g_diagLink.ClosePort();
  WaitSecondsWithElapsed(kAfterResetSeconds);
  g_commonProcess.UpdateElapsedTime();
  EnterStage(kind, "ChangeToDM", false);
  const int restarted = g_diagLink.EnterDiagMode(port);
  if (restarted != kDiagModeEntered) return FailureCode(Location::kUpgradeFinalModeEntry, restarted);
  g_diagLink.ClosePort();
  return 1;
}
