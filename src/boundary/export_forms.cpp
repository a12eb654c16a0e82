#include "boundary/export_forms.h"

#include "boundary/globals.h"
#include "ui/silent_mode.h"
#include "ui/ui_selection.h"

namespace zk::boundary {
namespace {
int g_lastFlowResult = 0;
}  // namespace

void BeginOperationExport(bool silent) {
  ui::InstallConfiguredUi();
  ui::SetSilentMode(silent);
  g_lastFlowResult = 0;
}

int LastFlowResult() { return g_lastFlowResult; }

int16_t PortIndexFromMask(int16_t mask) {
  const auto bits = static_cast<uint16_t>(mask);
  for (int16_t bit = 0; bit < 16; ++bit)
    if (bits & (1u << bit)) return bit;
  return 0;
}

int ReportingResult(int flowResult) {
  g_lastFlowResult = flowResult;
  return g_commonProcess.ReportResult(flowResult);
}

int PlainResult(int flowResult, bool touchResultCell) {
  g_lastFlowResult = flowResult;
  if (flowResult != 1) return 0;
  if (touchResultCell && g_passPara.m_mode != 0 && g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = 1;
  return 1;
}

int SilentCodeResult(int flowResult) {
  g_lastFlowResult = flowResult;
  return flowResult == 1 ? 1 : 0;
}

}  // namespace zk::boundary
