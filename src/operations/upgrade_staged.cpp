// The staged upgrade (kinds 0 and 1): NV items saved, image burnt, items
// written back, then PRL, ERI, the BREW script directory and the script.
#include <filesystem>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/operation_run.h"
#include "operations/upgrade_download.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"

namespace {

namespace fs = std::filesystem;
using zk::operations::EnterStage;
using zk::ui::FailureCode;
using zk::ui::Location;

}  // namespace

int CUpgradeDownload::StagedPass(const Request& request) {
  const int16_t kind = request.kind, port = request.portIndex;
  auto& engine = g_dlCommon;
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressPosition(0);
  g_commonProcess.UpdateElapsedTime();

  EnterStage(kind, "DXX01");
  const int entered = g_diagLink.EnterDiagMode(port);
  if (entered != kDiagModeEntered) return FailureCode(Location::kUpgradeModeEntry, entered);
  g_operationRun.NoteVersion(g_diagLink.m_softwareVersion);
  if (!zk::operations::RaiseLink(engine.m_isUsbPort != 0)) return FailureCode(Location::kLinkSpeed, 1);

  if (g_passPara.m_calibrationCheck != 0) {
    EnterStage(kind, "DXX07");
    const int calibration = g_nvBackup.CheckCalibration();
    if (calibration != 1) return FailureCode(Location::kUpgradeCalibration, calibration);
  }

  EnterStage(kind, "DXX05");
  const int read = g_nvBackup.BackupRead(false);
  if (read != CNVBackup::kDone) return FailureCode(Location::kUpgradeReadNv, read);
  // From here until the restore the PC's copy may become the only one: a
  // failure saves it to a backup file.
  g_commonProcess.m_nvBackupPending = 1;

  EnterStage(kind, "DownLoadThread");
  const auto downloaded = engine.DownloadImage();
  if (downloaded != zk::flash::DownloadResult::kDone) return FailureCode(Location::kUpgradeDownload, downloaded);

  EnterStage(kind, "DXX02");
  const int back = g_diagLink.EnterDiagMode(port);
  if (back != kDiagModeEntered) return FailureCode(Location::kUpgradeFinalModeEntry, back);
  if (!zk::operations::RaiseLink(zk::serial::CheckHandsetUsbPort(port) != 0))
    return FailureCode(Location::kLinkSpeed, 1);
  // Read whether or not the host takes it: the proof that the image took.
  const int version = zk::operations::ReadBackVersion();
  if (version != 1) return version;

  EnterStage(kind, "DXX30");
  const auto offline = g_packetProcess.GoOffline();
  if (offline != zk::diag::OfflineResult::kConfirmed) return FailureCode(Location::kUpgradeOffline, offline);

  EnterStage(kind, "DXX06");
  const int restored = g_nvBackup.Restore(false);
  if (restored != CNVBackup::kDone) return FailureCode(Location::kUpgradeWriteNv, restored);
  g_commonProcess.m_nvBackupPending = 0;  // the handset holds its items again

  if (!request.prlPath.empty()) {
    EnterStage(kind, "DXX08");
    const auto written = engine.WritePrlList(request.namSelector, request.prlPath);
    if (written != zk::flash::PrlFileResult::kDone) return FailureCode(Location::kUpgradePrlWrite, written);
  }
  if (!request.eriPath.empty()) {
    EnterStage(kind, "DXX10");
    if (engine.WriteEriFile(request.eriPath) != zk::flash::EriFileResult::kDone)
      return static_cast<int>(zk::flash::EriFileResult::kWriteFailed);
  }
  if (!request.scriptPath.empty()) {
    const fs::path brew = zk::operations::FindBrewDirectory(request.scriptPath);
    if (brew.empty()) return FailureCode(Location::kUpgradeNoBrewDirectory);
    EnterStage(kind, "Brew Writing");
    g_commonProcess.SetStatusText("Brew Writing");
    const int brewWritten = g_efsDownload.EfsRestore(brew.string(), port);
    if (brewWritten != CEfsDownload::kDone) return FailureCode(Location::kUpgradeBrewWrite, brewWritten);
    EnterStage(kind, "DXX18");
    const int script = RunScript(request, Location::kUpgradeScript);
    if (script != 1) return script;
  }
  g_diagLink.ClosePort();
  return 1;
}
