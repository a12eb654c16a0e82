// The one place that reads, for an error report, the names and texts that
// other modules keep. The script parser (script file name, software
// version) and the NV backup (NV error list) add their fields here as they
// gain them; until then those parts of the report stay empty. The handset path is the common-process
// object's own and is filled in by the error path.
#include "ui/failure_context.h"

#include "boundary/globals.h"

namespace zk::ui {

FailureContext GatherFailureContext() {
  FailureContext context;
  context.binaryFile = g_dlCommon.m_mainName;
  context.prlFile = g_dlCommon.m_prlName;
  context.dllVersion = ZK_VERSION;
  return context;
}

}  // namespace zk::ui
