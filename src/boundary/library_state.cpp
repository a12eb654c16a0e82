#include "platform/library_state.h"

#include "boundary/globals.h"

namespace zk::platform {
namespace {
// Constant-initialised, so the upgrade object may set it during load
// whatever the order of the units.
bool g_nvEditorOption = false;
}  // namespace

const char* LibraryPathBuffer() { return g_passPara.m_libraryPath; }

bool NvEditorOption() { return g_nvEditorOption; }
void SetNvEditorOption(bool on) { g_nvEditorOption = on; }

}  // namespace zk::platform
