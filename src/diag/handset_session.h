// One single-handset tool call on a port: the link parameters and the
// progress window are set up for it, and the window and the port are
// released however the call ends.
#pragma once

#include <cstdint>

#include "diag/diag_link.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

class HandsetSession {
 public:
  // The command line serves one handset per call, as operation kind 2.
  static constexpr int16_t kSingleHandsetKind = 2;

  explicit HandsetSession(int16_t portIndex) : m_portIndex(portIndex) {
    g_runState.operationKind = kSingleHandsetKind;
    g_diagLink.SetLinkParams(kSingleHandsetKind, portIndex, 0, 0, -1);
    g_commonProcess.OpenProgressWindow();
  }
  ~HandsetSession() {
    g_commonProcess.CloseProgressWindow();
    g_diagLink.ClosePort();
  }
  HandsetSession(const HandsetSession &) = delete;
  HandsetSession &operator=(const HandsetSession &) = delete;

  // kDiagModeEntered, or the mode entry's failure.
  int EnterDiagMode() const { return g_diagLink.EnterDiagMode(m_portIndex); }

 private:
  int16_t m_portIndex;
};
