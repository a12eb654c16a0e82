// The operator interface: the only way the library talks to the technician.
//
// The frame link calls ProcessPendingEvents while it waits for the handset so
// that windows stay alive during long exchanges. The remaining operations
// (progress window, dialogs) join this interface with the operator feedback.
#pragma once

namespace zk::ui {

class OperatorUi {
 public:
  virtual ~OperatorUi() = default;
  // Handles at most `maxEvents` pending window events; never blocks.
  virtual void ProcessPendingEvents(int maxEvents) { (void)maxEvents; }
};

// The interface in use; a headless one that does nothing until a backend is
// installed.
OperatorUi& CurrentUi();
// Installs `ui` (not owned); nullptr goes back to the headless interface.
void InstallUi(OperatorUi* ui);

}  // namespace zk::ui
