// Silent mode: the library-wide switch that the data backup and unattended
// exports turn on for their call. While it is on, the progress window, the
// error dialog and the end dialog do nothing; message boxes still appear.
#pragma once

#include "platform/library_state.h"

namespace zk::ui {

inline bool SilentMode() { return g_runState.silent; }
inline void SetSilentMode(bool on) { g_runState.silent = on; }

}  // namespace zk::ui
