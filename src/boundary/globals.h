// The library's global objects: one of each, created when the library loads
// (in the order of globals.cpp) and reached directly by the flows.
#pragma once

#include "boundary/pass_para_state.h"
#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "nv/nv_edit.h"
#include "nv/nv_editor_model.h"
#include "operations/bin_download.h"
#include "operations/emergency.h"
#include "operations/eri_download.h"
#include "operations/prl_down.h"
#include "operations/refurbish.h"
#include "operations/script_process.h"
#include "operations/upgrade_download.h"
#include "script/script_parser.h"
#include "ui/common_process.h"
#include "zkdownload/diag_packet.h"

extern zk::boundary::PassParaState g_passPara;
extern CUpgradeDownload g_upgradeDownload;
extern CPRLDown g_prlDown;
extern CBinDownload g_binDownload;
extern CEmergency g_emergency;
extern CNVedit g_nvEdit;
extern CRefurbish g_refurbish;
extern CNVBackup g_nvBackup;
extern CScriptProcess g_scriptProcess;
extern CEriDownload g_eriDownload;
extern CDiagLink g_diagLink;
extern diag_req_pkt_type g_diagRequest;
extern diag_rsp_pkt_type g_diagResponse;
extern CPacketProcess g_packetProcess;
extern CScriptParser g_scriptParser;
extern CNVEditorModel g_nvEditorModel;
extern CDLCommon g_dlCommon;
extern CEfsDownload g_efsDownload;
extern CCommonProcess g_commonProcess;
