// The one place that reads, for the operator interface, what the link and
// the other modules keep. The script parser (script file name, software
// version) and the NV backup (NV error list) add their fields to the failure
// context as they gain them; until then those parts of the report stay empty.
#include "boundary/library_link.h"

#include "diag/diag_link.h"
#include "flash/dl_common.h"
#include "nv/nv_backup.h"
#include "operations/upgrade_download.h"

namespace zk::boundary {

int LibraryLink::PortIndex() const { return g_diagLink.m_portIndex; }

int LibraryLink::OperationKind() const { return g_diagLink.m_opKind; }

void LibraryLink::ClosePort() { g_diagLink.m_comm.CommClose(); }

bool LibraryLink::WriteErrorLogin(const std::string& report, int portIndex) {
  return g_diagLink.m_comm.MakeErrorLoginFile(report.c_str(), portIndex) == 1;
}

ui::FailureContext LibraryLink::GatherFailureContext() const {
  ui::FailureContext context;
  context.binaryFile = g_dlCommon.m_mainName;
  context.prlFile = g_dlCommon.m_prlName;
  context.dllVersion = ZK_VERSION;
  context.note = g_diagLink.FailureNote();
  context.nvErrorLines = g_nvBackup.m_errorLines;
  return context;
}

std::string LibraryLink::ModelName() const { return g_upgradeDownload.m_modelName; }

}  // namespace zk::boundary
