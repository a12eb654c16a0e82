// The flows behind the data backup exports and the backup file write.
#include <cstdio>
#include <string>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "efs/efs_download.h"
#include "nv/nv_backup.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

namespace {

constexpr const char* kOpenTitle = "Open NV backup";
constexpr const char* kBackupFilter = "DAT Files (*.bak)|*.bak|All Files (*.*)|*.*||";
constexpr int kRestartSeconds = 35;
constexpr int kRestartPauseMs = 1000;

std::string Numbered(const char* format, int value) {
  char text[64];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

// The NV backup read found nothing to keep: the unlock failed or a run of
// silence ended it. A pass with single failed items still holds the rest.
bool ReadGotNothing(int result) {
  return result == CNVBackup::kReadUnlockFailed || result == CNVBackup::kReadAborted ||
         result == CNVBackup::kVersionNoAnswer;
}

}  // namespace

int CNVBackup::DataBackupRead(int16_t kind, const char* spcCode, const char* directory, int16_t portIndex,
                              int16_t param1, int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  if (!g_diagLink.OpenPort(portIndex)) return kPortNotOpened;
  // Both steps run whatever the other gave, so that a failing file system
  // still leaves the NV items read; but the flow succeeds only when both did.
  const int nv = BackupRead(true);
  const int efs = g_efsDownload.EfsBackup(directory != nullptr ? directory : "", portIndex);
  g_diagLink.ClosePort();
  if (ReadGotNothing(nv) || (nv == kItemsFailed && !AnyRead())) return kNvReadLocation + nv;
  if (efs != CEfsDownload::kDone) return kEfsReadLocation + efs;
  return kDone;
}

int CNVBackup::DataBackupWrite(int16_t kind, const char* spcCode, const char* directory, int16_t portIndex,
                               int16_t param1, int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  // Without a read in this process there is nothing to put back: success
  // would tell the host its NV items were restored when none were.
  if (!AnyRead()) {
    m_errorLines.push_back("No NV backup in memory: run the data backup read first");
    g_commonProcess.ShowMessage(Numbered("Write Nv Error #%d", kItemsFailed));
    return kNvWriteLocation + kItemsFailed;
  }
  if (!g_diagLink.OpenPort(portIndex)) return kPortNotOpened;
  const int nv = Restore(true);
  if (nv != kDone) {
    g_diagLink.ClosePort();
    g_commonProcess.ShowMessage(Numbered("Write Nv Error #%d", nv));
    return kNvWriteLocation + nv;
  }
  const int efs = g_efsDownload.EfsRestore(directory != nullptr ? directory : "", portIndex);
  g_diagLink.ClosePort();
  if (efs != CEfsDownload::kDone) {
    g_commonProcess.ShowMessage(Numbered("Write EFS Error #%d", efs));
    return kEfsWriteLocation + efs;
  }
  return kDone;
}

int CNVBackup::BackupFileWrite(int16_t kind, const char* spcCode, int16_t portIndex, int16_t param1,
                               int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  const auto chosen = g_commonProcess.Ui().AskOpenFile(kOpenTitle, kBackupFilter);
  if (!chosen || chosen->empty()) return kDone;  // the operator changed their mind: nothing was touched
  return BackupFileWrite(kind, spcCode, std::filesystem::path(*chosen), portIndex, param1, param2, param3);
}

int CNVBackup::BackupFileWrite(int16_t kind, const char* spcCode, const std::filesystem::path& file,
                               int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  // The file is checked before the handset is touched; a refused one
  // changes neither the image nor the handset.
  std::string problem;
  if (!LoadBackupFile(file, &problem)) {
    g_runState.failureNote = problem;
    g_commonProcess.ShowMessage(problem);
    return kFileRefused;
  }
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) {
    g_diagLink.ClosePort();
    return kModeEntryLocation + entered;
  }
  const int restored = Restore(true);
  if (restored != kDone) {
    g_diagLink.ClosePort();
    return kNvWriteLocation + restored;
  }
  if (g_packetProcess.ResetPhone() != zk::diag::ResetResult::kDone) return kResetFailed;
  for (int second = 0; second < kRestartSeconds; ++second) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(kRestartPauseMs);
  }
  g_commonProcess.CloseProgressWindow();
  return kDone;
}
