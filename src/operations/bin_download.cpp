#include "operations/bin_download.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "flash/dl_common.h"
#include "flash/image_rules.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/operation_run.h"
#include "operations/upgrade_download.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace {

using zk::flash::DownloadResult;
using zk::operations::EnterStage;
using zk::operations::LowByte;
using zk::operations::ReadBackVersion;
using zk::operations::WaitSecondsWithElapsed;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kRestartSeconds = 15;       // the handset starts the new image
constexpr int kFinalCheckSeconds = 30;    // kinds 2 and 3: before proving it came back
constexpr int kLateModeEntryTries = 4;    // kinds 2 and 3


}  // namespace

int CBinDownload::Run(int16_t kind, const char* /*text*/, const char* spcCode, const char* imagePath, char /*flag*/,
                      int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  auto& engine = g_dlCommon;
  const OperationRunScope timing;
  // Each call reads the image anew; passes of one call share it. The boot
  // image lies beside the main image, so one kept from another run may
  // belong to another directory.
  engine.m_mainLoaded = false;
  engine.m_bootLoaded = false;
  engine.m_logoLoaded = false;
  engine.m_skipOffline = false;
  engine.m_efsEraseMode = false;
  engine.SetMainImagePath(imagePath != nullptr ? imagePath : "");

  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, param1, param2, param3);
  engine.m_isUsbPort = zk::serial::CheckHandsetUsbPort(portIndex);
  g_runState.handsetUsbPort = engine.m_isUsbPort;
  g_diagLink.SetSpcCode(spcCode);

  for (;;) {
    const int result = OneHandset(kind, portIndex);
    if (result != 1) return result;
    // A host that registered its buffers has no operator to attach the next
    // handset: one handset per call, whatever an earlier loop left in the
    // repeat flag (it would otherwise serve the same handset forever).
    if (g_passPara.m_mode != 0) break;
    g_runState.repeatFlag = g_commonProcess.RunEndDialog() == zk::ui::DialogAnswer::Ok ? 1 : 0;
    if (!g_runState.repeatFlag) break;
  }
  EnterStage(kind, "END");
  engine.m_mainLoaded = false;
  return 1;
}

int CBinDownload::OneHandset(int16_t kind, int16_t portIndex) {
  auto& engine = g_dlCommon;
  const int loaded = engine.LoadMainImage();
  if (loaded != 1) return FailureCode(Location::kBinSetBinFile, loaded);
  // The model check comes before the handset is touched at all.
  if (FullSequence(kind) && !zk::flash::ImageNameHasPrefix(engine.m_mainPath, g_upgradeDownload.m_binVersion))
    return FailureCode(Location::kBinImageName);

  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);
  g_commonProcess.SetProgressPosition(0);
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.SetStatusText("Connecting...");

  EnterStage(kind, "DXX01");
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kBinModeEntry, entered);
  g_operationRun.NoteVersion(g_diagLink.m_softwareVersion);

  EnterStage(kind, "DXX05");
  const int read = g_nvBackup.BackupRead(false);
  if (read != CNVBackup::kDone) return FailureCode(Location::kBinReadNv, read);
  if (FullSequence(kind)) {
    EnterStage(kind, "AKey Reading");
    const int akeys = g_nvBackup.AKeyRead();
    if (akeys != 1) return FailureCode(Location::kBinReadNv, LowByte(akeys));
  }

  g_commonProcess.UpdateElapsedTime();
  EnterStage(kind, "DownLoadThread");
  const DownloadResult downloaded = engine.DownloadImage();
  if (downloaded != DownloadResult::kDone) return FailureCode(Location::kBinDownload, downloaded);

  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetStatusText("Changing DM mode ...");
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.SetProgressRange(100);
  WaitSecondsWithElapsed(kRestartSeconds);

  EnterStage(kind, "DXX02");
  const int reentered = ReenterDiagMode(kind, portIndex);
  if (reentered != kDiagModeEntered) return FailureCode(Location::kBinLateModeEntry, reentered);
  const int version = ReadBackVersion();
  if (version != 1) return version;

  EnterStage(kind, "DXX06");
  const int restored = g_nvBackup.Restore(false);
  if (restored != CNVBackup::kDone) return FailureCode(Location::kBinWriteNv, restored);
  if (FullSequence(kind)) {
    EnterStage(kind, "AKeys Writing");
    const int akeys = g_nvBackup.AKeyWrite();
    if (akeys != 1) return FailureCode(Location::kBinWriteNv, LowByte(akeys));
  }
  // The handset holds its items again: a later failure (of this run or of
  // the next operation) must not save this image as if it were the only copy.
  g_commonProcess.m_nvBackupPending = 0;

  EnterStage(kind, " Mode Reset");
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return FailureCode(Location::kBinReset);
  g_diagLink.ClosePort();

  if (FullSequence(kind)) {
    WaitSecondsWithElapsed(kFinalCheckSeconds);
    const int back = g_diagLink.EnterDiagMode(portIndex);
    if (back != kDiagModeEntered) return FailureCode(Location::kBinModeEntry, back);
    g_diagLink.ClosePort();
  }

  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}

int CBinDownload::ReenterDiagMode(int16_t kind, int16_t portIndex) {
  return zk::operations::EnterDiagModeWithRetries(portIndex, FullSequence(kind) ? kLateModeEntryTries : 1);
}
