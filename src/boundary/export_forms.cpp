#include "boundary/export_forms.h"

#include "boundary/globals.h"
#include "ui/silent_mode.h"
#include "ui/ui_selection.h"

namespace zk::boundary {

void BeginOperationExport(bool silent) {
  ui::InstallConfiguredUi();
  ui::SetSilentMode(silent);
}

int16_t PortIndexFromMask(int16_t mask) {
  const auto bits = static_cast<uint16_t>(mask);
  for (int16_t bit = 0; bit < 16; ++bit)
    if (bits & (1u << bit)) return bit;
  return 0;
}

int ReportingResult(int flowResult) { return g_commonProcess.ReportResult(flowResult); }

int PlainResult(int flowResult, bool touchResultCell) {
  if (flowResult != 1) return 0;
  if (touchResultCell && g_passPara.m_mode != 0 && g_passPara.m_resultCell != nullptr) *g_passPara.m_resultCell = 1;
  return 1;
}

}  // namespace zk::boundary
