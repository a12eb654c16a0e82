#include "ui/operator_ui.h"

namespace zk::ui {
namespace {
OperatorUi g_headless;
OperatorUi* g_current = &g_headless;
}  // namespace

OperatorUi& CurrentUi() { return *g_current; }
void InstallUi(OperatorUi* ui) { g_current = ui != nullptr ? ui : &g_headless; }

}  // namespace zk::ui
