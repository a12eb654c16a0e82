#include "boundary/export_forms.h"

#include "boundary/globals.h"
#include "diag/diag_link.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/silent_mode.h"
#include "ui/ui_selection.h"

namespace zk::boundary {

namespace {
void ReadSettingsForCall() {
  const platform::Settings& settings = platform::RefreshSettings();
  ApplySettings(settings);
  g_uiSelection.Install(settings, g_commonProcess);
}
}  // namespace

void BeginPlainExport() {
  if (!platform::TryBeginOperation()) return;
  ReadSettingsForCall();
  platform::EndOperation();
}

OperationExport::OperationExport(bool silent) : m_entered(platform::TryBeginOperation()) {
  if (!m_entered) return;
  ReadSettingsForCall();
  ui::SetSilentMode(silent);
  g_runState.lastFlowResult = 0;
  g_runState.failureNote.clear();
  g_diagLink.m_esn = 0;
  g_diagLink.m_esnRead = false;
  g_diagLink.m_comm.ClearOpenError();
  g_diagLink.m_spcRefused = false;  // a note belongs to the operation that recorded it
}

OperationExport::~OperationExport() {
  if (m_entered) platform::EndOperation();
}

int LastFlowResult() { return g_runState.lastFlowResult; }

int16_t PortIndexFromMask(int16_t mask) {
  const auto bits = static_cast<uint16_t>(mask);
  for (int16_t bit = 0; bit < 16; ++bit)
    if (bits & (1u << bit)) return bit;
  return 0;
}

int ReportingResult(int flowResult) {
  g_runState.lastFlowResult = flowResult;
  if (g_passPara.m_mode != 0) {
    if (g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = flowResult;
    if (flowResult == 1) return 1;
    // No error dialog will close them: a failed flow must not leave its
    // window showing, nor the port held, after the export has returned.
    g_commonProcess.CloseProgressWindow();
    return 0;
  }
  if (flowResult == 1) return 1;
  g_commonProcess.ShowError(flowResult);
  return 0;
}

int PlainResult(int flowResult, bool touchResultCell) {
  g_runState.lastFlowResult = flowResult;
  if (flowResult != 1) return 0;
  if (touchResultCell && g_passPara.m_mode != 0 && g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = 1;
  return 1;
}

int SilentCodeResult(int flowResult) {
  g_runState.lastFlowResult = flowResult;
  return flowResult == 1 ? 1 : 0;
}

}  // namespace zk::boundary
