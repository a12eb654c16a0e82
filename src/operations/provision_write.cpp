#include "operations/provision_write.h"

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace {

using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kRestartSeconds = 8;

}  // namespace

int ProvisionWrite(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1,
                   int16_t param2, int16_t param3) {
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.StepProgress();
  g_runState.operationKind = kind;
  g_diagLink.SetLinkParams(kind, portIndex, param1, param2, param3);
  g_diagLink.SetSpcCode(spcCode);

  g_commonProcess.UpdateElapsedTime();
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kRefurbishModeEntry, entered);

  g_commonProcess.SetStatusText("Provision Writing ...");
  g_commonProcess.UpdateElapsedTime();
  // A restore that failed, or found nothing to write, leaves the handset
  // without its provisioning: that is reported, at the location the restore
  // has in the upgrade, with the restore's own cause (the handset path text
  // names what was not written).
  const int restored = g_efsDownload.EfsRestore(path != nullptr ? path : "", portIndex);
  if (restored != CEfsDownload::kDone) return FailureCode(Location::kUpgradeEfsWrite, restored);

  g_commonProcess.UpdateElapsedTime();
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return FailureCode(Location::kUpgradeReset);
  for (int i = 0; i < kRestartSeconds; ++i) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(1000);
  }

  g_commonProcess.UpdateElapsedTime();
  const int back = g_diagLink.EnterDiagMode(portIndex);
  if (back != kDiagModeEntered) return FailureCode(Location::kUpgradeLateModeEntry, back);
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}
