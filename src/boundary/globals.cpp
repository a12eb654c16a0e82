// Every global object of the library, in one unit so that they are built in
// exactly this order when the library loads and destroyed in the reverse
// order when it unloads. Nothing is created per call. Each object is
// declared beside its class; the library's plain state (host registration,
// settings, the running operation) is in platform/library_state.cpp.
#include "boundary/globals.h"

#include <ctime>
#include <filesystem>


#include "boundary/library_link.h"
#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "diag/wire_trace.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "nv/nv_edit.h"
#include "nv/nv_editor_model.h"
#include "operations/bin_download.h"
#include "operations/emergency.h"
#include "operations/eri_download.h"
#include "operations/operation_run.h"
#include "operations/prl_down.h"
#include "operations/refurbish.h"
#include "operations/script_process.h"
#include "operations/upgrade_download.h"
#include "platform/library_state.h"
#include "script/script_parser.h"
#include "ui/common_process.h"
#include "ui/ui_selection.h"
#include "zkdownload/diag_packet.h"

// One object per operation. The upgrade object fixes the model identity and
// reads the settings file.
CUpgradeDownload g_upgradeDownload;
CPRLDown g_prlDown;
CBinDownload g_binDownload;
COperationRun g_operationRun;
CEmergency g_emergency;
CNVedit g_nvEdit;
CRefurbish g_refurbish;
CNVBackup g_nvBackup;
CScriptProcess g_scriptProcess;
CEriDownload g_eriDownload;

// The serial port's fixed texts (the port-name table) come next in the load
// order. The serial module builds them on first use, so they are ready
// whenever a later object needs them and no object stands here.

// The shared services.
zk::diag::WireTrace g_wireTrace;
CDiagLink g_diagLink;
diag_req_pkt_type g_diagRequest;
diag_rsp_pkt_type g_diagResponse;
CPacketProcess g_packetProcess;
CScriptParser g_scriptParser;
CNVEditorModel g_nvEditorModel;
CDLCommon g_dlCommon;
CEfsDownload g_efsDownload;
CCommonProcess g_commonProcess;
// After the progress window, so that it goes first and never leaves the
// window pointing at an interface that is gone.
zk::ui::UiSelection g_uiSelection;
zk::boundary::LibraryLink g_libraryLink;

namespace {

// The load step, after every global object exists: record the library's
// own path, apply the settings and give the progress window its link. On
// Linux nothing else needs registering with a framework.
struct LibraryLoad {
  LibraryLoad() {
    g_passPara.RefreshLibraryPath();
    zk::boundary::ApplySettings(zk::platform::RefreshSettings());
    g_commonProcess.SetLink(&g_libraryLink);
    // A failure after the handset entered its downloader keeps the NV items
    // read before it in a backup file.
    // Nobody choosing a file (no operator, or a cancelled dialog) must not
    // lose the only copy: it then goes under the automatic name.
    g_commonProcess.SetPendingNvBackupSaver([] {
      if (g_nvBackup.SaveBackupFile()) return;
      const std::filesystem::path automatic(CNVBackup::AutomaticFileName(g_diagLink.m_portIndex, std::time(nullptr)));
      static_cast<void>(g_nvBackup.SaveBackupFile(automatic, nullptr));
    });
  }
};
LibraryLoad g_libraryLoad;

}  // namespace

namespace zk::boundary {

bool ApplySettings(const platform::Settings& settings) { return g_wireTrace.Configure(settings.tracePath); }

}  // namespace zk::boundary

namespace zk::boundary {

void ResetLibraryState() {
  platform::EndOperation();
  g_passPara = platform::PassParaState{};
  g_passPara.RefreshLibraryPath();
  const bool nvEditorOption = g_runState.nvEditorOption;  // read once, at load
  g_runState = platform::RunState{};
  g_runState.nvEditorOption = nvEditorOption;
  ApplySettings(platform::RefreshSettings());

  g_commonProcess.ForgetRunState();
  g_commonProcess.SetLink(&g_libraryLink);
  g_diagLink.ForgetRunState();
  g_packetProcess.m_keysEnabled = 0;
  g_dlCommon.ForgetRunState();
  g_operationRun = COperationRun{};
}

}  // namespace zk::boundary
