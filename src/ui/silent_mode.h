// Silent mode: the library-wide switch that the data backup and unattended
// exports turn on for their call. While it is on, the progress window, the
// error dialog and the end dialog do nothing; message boxes still appear.
#pragma once

namespace zk::ui {

bool SilentMode();
void SetSilentMode(bool on);

}  // namespace zk::ui
