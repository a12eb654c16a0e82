#include "operations/script_process.h"

#include "diag/diag_link.h"
#include "operations/script_run.h"
#include "platform/library_state.h"
#include "ui/failure_code.h"

using zk::ui::FailureCode;
using zk::ui::Location;

int CScriptProcess::RunUnattended(int16_t kind, const char* spcCode, const char* scriptPath, int16_t portIndex) {
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1);
  g_diagLink.SetSpcCode(spcCode);

  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kScriptDownModeEntry, entered);

  // Warnings fail this form too: nobody is there to read them.
  const int run = zk::operations::RunScriptFile(scriptPath != nullptr ? scriptPath : "", kind,
                                                zk::operations::LibraryHandset());
  if (run != zk::operations::kScriptDone) return FailureCode(Location::kScriptDownRun, run);
  return 1;
}
