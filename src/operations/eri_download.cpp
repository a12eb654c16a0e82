#include "operations/eri_download.h"

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
using zk::flash::EriFileResult;
using zk::ui::FailureCode;
using zk::ui::Location;

constexpr int kSettleSeconds = 2;    // after the unlock, before the file goes out
constexpr int kBeforeResetMs = 300;
constexpr int kRestartSeconds = 35;  // the handset restarts with the new file

void WaitSeconds(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(1000);
  }
}

std::string PathText(const char* path) { return path != nullptr ? path : ""; }

}  // namespace

void CEriDownload::Prepare(int16_t kind, const char* spcCode, int16_t portIndex, int16_t param1, int16_t param2,
                           int16_t param3) {
  m_kind = kind;
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
}

int CEriDownload::Read(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1,
                       int16_t param2, int16_t param3, bool unattended) {
  Prepare(kind, spcCode, portIndex, param1, param2, param3);
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kEriReadModeEntry, entered);
  const EriFileResult read = g_dlCommon.ReadEriFile(PathText(path));
  if (read != EriFileResult::kDone) return static_cast<int>(read);
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  if (!unattended) g_commonProcess.ShowCompleted();
  return 1;
}

int CEriDownload::Write(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1,
                        int16_t param2, int16_t param3) {
  Prepare(kind, spcCode, portIndex, param1, param2, param3);
  for (;;) {
    const int result = WriteOneHandset(path, portIndex);
    if (result != 1) return result;
    // A host with a result cell has no operator to attach the next handset.
    if (g_passPara.m_mode != 0) return 1;
    g_runState.repeatFlag = g_commonProcess.RunEndDialog() == zk::ui::DialogAnswer::Ok ? 1 : 0;
    if (!g_runState.repeatFlag) return 1;
  }
}

int CEriDownload::WriteOneHandset(const char* path, int16_t portIndex) {
  g_commonProcess.OpenConnectingWindow();

  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kEriWriteModeEntry, entered);
  const auto offline = g_packetProcess.GoOffline();
  if (offline != OfflineResult::kConfirmed) return FailureCode(Location::kEriWriteOffline, offline);
  const auto unlocked = g_diagLink.UnlockAndRelease();
  if (unlocked != UnlockResult::kUnlocked) return FailureCode(Location::kEriWriteUnlock, unlocked);
  WaitSeconds(kSettleSeconds);

  const EriFileResult written = g_dlCommon.WriteEriFile(PathText(path));
  if (written != EriFileResult::kDone) return static_cast<int>(written);

  g_commonProcess.UpdateElapsedTime();
  zk::platform::SleepMs(kBeforeResetMs);
  // Whichever way the reset failed, the code names only the step.
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return FailureCode(Location::kEriWriteReset);
  WaitSeconds(kRestartSeconds);
  g_commonProcess.CloseProgressWindow();
  return 1;
}

int CEriDownload::WriteUnattended(int16_t kind, const char* spcCode, const char* path, int16_t portIndex,
                                  int16_t param1, int16_t param2, int16_t param3) {
  // The host's code is used here as in every other flow (an empty one
  // selects the default): the code a previous operation left behind may
  // belong to another handset, and before any operation there is none.
  Prepare(kind, spcCode, portIndex, param1, param2, param3);
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) return FailureCode(Location::kEriWriteModeEntry, entered);
  const auto offline = g_packetProcess.GoOffline();
  if (offline != OfflineResult::kConfirmed) return FailureCode(Location::kEriWriteOffline, offline);
  const auto unlocked = g_diagLink.UnlockAndTypeCode();
  if (unlocked != UnlockResult::kUnlocked) return FailureCode(Location::kEriWriteUnlock, unlocked);
  WaitSeconds(kSettleSeconds);

  const EriFileResult written = g_dlCommon.WriteEriFile(PathText(path));
  if (written != EriFileResult::kDone) return static_cast<int>(written);
  g_diagLink.ClosePort();
  return 1;
}
