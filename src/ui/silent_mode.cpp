#include "ui/silent_mode.h"

namespace zk::ui {
namespace {
// Constant-initialised: valid before any global object is constructed.
bool g_silent = false;
}  // namespace

bool SilentMode() { return g_silent; }
void SetSilentMode(bool on) { g_silent = on; }

}  // namespace zk::ui
