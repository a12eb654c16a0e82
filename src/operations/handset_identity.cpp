#include "operations/handset_identity.h"

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

namespace {
constexpr int kNotInDiagnosticMode = 2;
constexpr int kIdentityUnread = 4;
}  // namespace

int ReadHandsetIdentity(int16_t kind, int16_t portIndex, HandsetIdentity& identity) {
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1);
  g_commonProcess.OpenProgressWindow();

  const auto finish = [](int result) {
    g_commonProcess.CloseProgressWindow();  // closes the port too
    return result;
  };
  if (g_diagLink.EnterDiagMode(portIndex) != kDiagModeEntered) return finish(kNotInDiagnosticMode);

  g_commonProcess.SetStatusText("Reading identity ...");
  if (g_dlCommon.ReadVersionLabel(identity.versionLabel) != 1) return finish(kIdentityUnread);
  if (g_dlCommon.ReadHandsetIdentity(identity.esn, identity.vendorText, identity.value20, identity.value21) != 1)
    return finish(kIdentityUnread);

  // The check reports bare causes: it has no failure location of its own.
  g_commonProcess.SetStatusText("Mode Offline-d ...");
  const auto offline = g_packetProcess.GoOffline();
  if (offline != zk::diag::OfflineResult::kConfirmed) return finish(static_cast<int>(offline));
  return finish(static_cast<int>(g_packetProcess.ResetPhone()));
}
