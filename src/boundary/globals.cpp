// Every global object of the library, in one unit so that they are built in
// exactly this order when the library loads and destroyed in the reverse
// order when it unloads. Nothing is created per call.
#include "boundary/globals.h"

// The pass-parameter state (its texts).
zk::boundary::PassParaState g_passPara;

// One object per operation. The upgrade object fixes the model identity and
// reads the settings file.
CUpgradeDownload g_upgradeDownload;
CPRLDown g_prlDown;
CBinDownload g_binDownload;
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
CDiagLink g_diagLink;
// The link's own request/response pair: mode entry, unlock and speed change,
// NV reads and writes, file-system requests.
diag_req_pkt_type g_diagRequest;
diag_rsp_pkt_type g_diagResponse;
CPacketProcess g_packetProcess;
CScriptParser g_scriptParser;
CNVEditorModel g_nvEditorModel;
CDLCommon g_dlCommon;
CEfsDownload g_efsDownload;
CCommonProcess g_commonProcess;

namespace {

// The load step, after every global object exists: record the library's
// own path. On Linux nothing else needs registering with a framework.
struct LibraryLoad {
  LibraryLoad() { g_passPara.RefreshLibraryPath(); }
};
LibraryLoad g_libraryLoad;

}  // namespace
