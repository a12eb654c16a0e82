#include "operations/prl_down.h"

#include <string>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "flash/dl_common.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace {

using zk::diag::OfflineResult;
using zk::diag::UnlockResult;
using zk::flash::PrlFileResult;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kRestartSeconds = 20;

}  // namespace

int CPRLDown::Read(int16_t kind, const char* /*text*/, const char* spcCode, const char* path, int nam,
                   int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  // A failed read closes the port too, else it would stay open and locked
  // against other programs after the export has returned.
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) {
    g_diagLink.ClosePort();
    return FailureCode(Location::kPrlReadModeEntry, entered);
  }
  const auto read = g_dlCommon.ReadPrlToFile(nam, path != nullptr ? path : "");
  if (read != PrlFileResult::kDone) {
    g_diagLink.ClosePort();
    return FailureCode(Location::kPrlRead, read);
  }
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  g_commonProcess.ShowCompleted();
  return 1;
}

int CPRLDown::Write(int16_t kind, const char* /*text*/, const char* spcCode, const char* path, int namSelector,
                    int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  // Selectors 0 (first NAM), 1 (second) and 2 (both) name a list to write;
  // any other would reset the handset with nothing written. It fails before
  // the port opens. The write's table has no cause for a bad selector: "can't
  // open prl file" (41) fits it best, as no file can be sent to that NAM.
  if (namSelector < 0 || namSelector > 2) return FailureCode(Location::kPrlWriteFile, PrlFileResult::kFileUnreadable);
  for (;;) {
    const int result = WriteOneHandset(path, namSelector, portIndex);
    if (result != 1) return result;
    // A host that registered a result cell has no operator to attach the
    // next handset: one handset per call, whatever a loop an operator once
    // began (and a failure ended) left in the repeat flag.
    if (g_passPara.m_mode != 0) return 1;
    g_runState.repeatFlag = g_commonProcess.RunEndDialog() == zk::ui::DialogAnswer::Ok ? 1 : 0;
    if (!g_runState.repeatFlag) return 1;
  }
}

int CPRLDown::WriteOneHandset(const char* path, int namSelector, int16_t portIndex) {
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetStatusText("Connecting...");
  g_commonProcess.SetDetailText(" ");

  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kPrlWriteModeEntry, entered);
  const auto offline = g_packetProcess.GoOffline();
  if (offline != OfflineResult::kConfirmed) return FailureCode(Location::kPrlWriteOffline, offline);
  const auto unlocked = g_diagLink.UnlockAndRelease();
  if (unlocked != UnlockResult::kUnlocked) return FailureCode(Location::kPrlWriteUnlock, unlocked);
  zk::platform::SleepMs(2000);

  const auto written = g_dlCommon.WritePrlList(namSelector, path != nullptr ? path : "");
  if (written != PrlFileResult::kDone) return FailureCode(Location::kPrlWriteFile, written);

  g_commonProcess.UpdateElapsedTime();
  zk::platform::SleepMs(300);
  // Whichever way the reset failed, the code names only the step.
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return FailureCode(Location::kPrlWriteReset);
  for (int i = 0; i < kRestartSeconds; ++i) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(1000);
  }
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return 1;
}
