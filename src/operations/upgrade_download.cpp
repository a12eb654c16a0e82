#include "operations/upgrade_download.h"

#include "diag/diag_link.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/flow_steps.h"
#include "operations/operation_run.h"
#include "operations/script_run.h"
#include "operations/settings_file.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"

namespace {

using zk::operations::EnterStage;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kStagedEndMs = 10000;

}  // namespace

CUpgradeDownload::CUpgradeDownload() : m_modelKind("Tri Mode"), m_modelName("RB310"), m_binVersion("RB31VV") {
  g_runState.nvEditorOption = zk::operations::ReadNvEditorOption(zk::operations::SettingsFilePath());
}

int CUpgradeDownload::Run(const Request& request) {
  const OperationRunScope timing;
  auto& engine = g_dlCommon;
  m_scriptWarned = false;
  // Each call reads its own image: one kept from an earlier call may be
  // another file, and would be burnt under this call's name.
  engine.m_mainLoaded = false;
  engine.m_bootLoaded = false;
  engine.m_logoLoaded = false;
  engine.m_skipOffline = false;
  engine.m_efsEraseMode = false;
  engine.SetMainImagePath(request.imagePath);
  engine.m_imageFlag = request.flag != 0 ? 1 : 0;

  g_diagLink.SetLinkParams(request.kind, request.portIndex, request.param1, request.param2, request.param3);
  engine.m_isUsbPort = zk::serial::CheckHandsetUsbPort(request.portIndex);
  g_runState.handsetUsbPort = engine.m_isUsbPort;
  g_runState.operationKind = request.kind;
  g_diagLink.SetSpcCode(request.spcCode.c_str());

  const int loaded = engine.LoadMainImage();
  if (loaded != 1) return FailureCode(Location::kUpgradeSetBinFile, loaded);

  for (;;) {
    const int result = Staged(request.kind) ? StagedPass(request) : FullPass(request);
    if (result != 1) return result;
    const int ended = EndPass(request);
    if (ended != 1) return ended;
    // A host that registered its buffers has no operator to attach the next
    // handset: one handset per call.
    if (g_passPara.m_mode != 0) break;
    if (g_commonProcess.RunEndDialog() != zk::ui::DialogAnswer::Ok) break;
    m_scriptWarned = false;
  }
  EnterStage(request.kind, "END");
  return 1;
}

int CUpgradeDownload::RunScript(const Request& request, Location location) {
  g_nvBackup.ClearErrors();
  const int run = zk::operations::RunScriptFile(request.scriptPath, request.kind, zk::operations::LibraryHandset());
  if (run == zk::operations::kScriptWarned) {
    m_scriptWarned = true;
    return 1;
  }
  if (run != zk::operations::kScriptDone) return FailureCode(location, run);
  return 1;
}

int CUpgradeDownload::EndPass(const Request& request) {
  if (m_scriptWarned) {
    // A host with result buffers learns of the warnings from the code.
    if (g_passPara.m_mode != 0) return FailureCode(Location::kUpgradeScript);
    g_commonProcess.ShowError(zk::operations::kScriptWarned);
  }
  if (Staged(request.kind)) zk::platform::SleepMs(kStagedEndMs);
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}
