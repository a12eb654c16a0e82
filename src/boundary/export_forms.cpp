#include "boundary/export_forms.h"

#include "boundary/globals.h"
#include "boundary/host_callback.h"
#include "diag/diag_link.h"
#include "nv/nv_backup.h"
#include "platform/cancel.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_texts.h"
#include "ui/silent_mode.h"
#include "ui/ui_selection.h"

namespace zk::boundary {

namespace {
void ReadSettingsForCall() {
  const platform::Settings& settings = platform::RefreshSettings();
  ApplySettings(settings);
  g_uiSelection.Install(settings, g_commonProcess);
  InstallHostCallbackUi(g_commonProcess);  // a host's callback stands in for the chosen interface
}

// A failure while a host's cancel was pending is the cancel's doing: the
// code keeps the failing step's location with the cancel as its cause. A
// flow that finished despite the cancel keeps its success.
// Whether this thread's latest operation export was refused because another
// one ran: that thread then learns "busy" from GetLastResult_Interface,
// while every other thread still sees the running operation's result.
thread_local bool t_refused = false;

int WithCancel(int flowResult) {
  if (flowResult == 1 || !platform::CancelRequested()) return flowResult;
  return ui::LocationOf(flowResult) + ui::kCancelledCause;
}
}  // namespace

void BeginPlainExport() {
  if (!platform::TryBeginOperation()) return;
  ReadSettingsForCall();
  platform::EndOperation();
}

OperationExport::OperationExport(bool silent) : m_entered(platform::TryBeginOperation()) {
  t_refused = !m_entered;
  if (!m_entered) return;
  ReadSettingsForCall();
  ui::SetSilentMode(silent);
  platform::ClearCancel();
  g_runState.lastFlowResult = 0;
  g_runState.failureNote.clear();
  g_diagLink.m_esn = 0;
  g_diagLink.m_esnRead = false;
  g_diagLink.m_comm.ClearOpenError();
  g_diagLink.m_spcRefused = false;  // a note belongs to the operation that recorded it
  g_nvBackup.ClearErrors();         // the NV error list names only this operation's items
}

OperationExport::~OperationExport() {
  if (m_entered) platform::EndOperation();
}

int LastFlowResult() { return t_refused ? kBusy : g_runState.lastFlowResult.load(); }

int16_t PortIndexFromMask(int16_t mask) {
  const auto bits = static_cast<uint16_t>(mask);
  for (int16_t bit = 0; bit < 16; ++bit)
    if (bits & (1u << bit)) return bit;
  return 0;
}

int ReportingResult(int flowResult) {
  t_refused = false;  // a refusal inside this operation's own callbacks is over
  flowResult = WithCancel(flowResult);
  g_runState.lastFlowResult = flowResult;
  if (g_passPara.m_mode != 0) {
    if (g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = flowResult;
    if (flowResult == 1) return 1;
    // No error dialog will close them: a failed flow must not leave its
    // window showing, nor the port held, after the export has returned;
    // nor lose NV items that only the PC still holds.
    g_commonProcess.SavePendingNvBackup();
    g_commonProcess.CloseProgressWindow();
    return 0;
  }
  if (flowResult == 1) return 1;
  g_commonProcess.ShowError(flowResult);
  return 0;
}

int PlainResult(int flowResult, bool touchResultCell) {
  t_refused = false;  // a refusal inside this operation's own callbacks is over
  flowResult = WithCancel(flowResult);
  g_runState.lastFlowResult = flowResult;
  if (flowResult != 1) {
    // Nothing else closes it: a failed plain export must not leave the port
    // open and locked against other programs.
    g_commonProcess.CloseProgressWindow();
    return 0;
  }
  if (touchResultCell && g_passPara.m_mode != 0 && g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = 1;
  return 1;
}

int SilentCodeResult(int flowResult) {
  t_refused = false;  // a refusal inside this operation's own callbacks is over
  flowResult = WithCancel(flowResult);
  g_runState.lastFlowResult = flowResult;
  if (flowResult == 1) return 1;
  g_commonProcess.CloseProgressWindow();  // silent mode shows no error dialog to close it
  return 0;
}

}  // namespace zk::boundary
