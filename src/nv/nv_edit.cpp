#include "nv/nv_edit.h"

#include "diag/diag_link.h"
#include "efs/efs_download.h"
#include "nv/nv_backup.h"
#include "nv/nv_editor_model.h"
#include "platform/clock.h"
#include "ui/common_process.h"

using zk::ui::NvEditorAfter;
using zk::ui::NvEditorEnd;

void CNVedit::ReadCallHistory() {
  uint8_t status = 0xFF;
  const auto block =
      g_efsDownload.Client().ReadFileBlock(kCallHistoryFile, 0, kCallHistoryWaitMs, &status);
  if (!block || status != 0) {
    zk::platform::SleepMs(kCallHistoryFailPauseMs);
    g_commonProcess.ShowMessage(kCallHistoryMessage);
    g_nvEditorModel.ClearCounters();
    return;
  }
  const std::size_t taken = std::min(block->size(), kCallHistoryMaxBytes);
  g_nvEditorModel.SetCounters(std::span<const uint8_t>(block->data(), taken));
}

int CNVedit::Run(int16_t kind, int portIndex, const char* spcCode, int16_t param1, int16_t param2,
                 int16_t param3) {
  g_nvBackup.m_editorMode = true;
  g_nvBackup.ClearErrors();
  g_diagLink.PrepareOperation(kind, portIndex, param1, param2, param3, spcCode);
  m_portIndex = portIndex;
  m_closedCode = 0;
  m_lastWrite = 0;
  g_commonProcess.OpenConnectingWindow();
  const int entered = g_diagLink.EnterDiagMode(portIndex);
  if (entered != kDiagModeEntered) {
    g_diagLink.ClosePort();
    g_commonProcess.CloseProgressWindow();
    return kModeEntryLocation + entered;
  }
  const int read = g_nvBackup.BackupRead(true);
  if (read != CNVBackup::kDone) {
    g_diagLink.ClosePort();
    g_commonProcess.CloseProgressWindow();
    return kReadLocation + read;
  }
  ReadCallHistory();
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();

  g_nvEditorModel.Open({[this] { return ReadHandset(); }, [this] { return WriteHandset(); }});
  switch (g_commonProcess.Ui().RunNvEditor(g_nvEditorModel)) {
    case NvEditorEnd::Exit: return kDone;
    case NvEditorEnd::Closed: return m_closedCode != 0 ? m_closedCode : kDialogFailed;
    case NvEditorEnd::Failed: break;
  }
  return kDialogFailed;
}

NvEditorAfter CNVedit::ReadHandset() {
  g_nvBackup.m_editorMode = true;
  g_nvBackup.ClearErrors();
  g_commonProcess.OpenConnectingWindow();
  g_diagLink.SetSpcCode("");  // the default code, whatever the operation was given
  const int entered = g_diagLink.EnterDiagMode(m_portIndex);
  if (entered != kDiagModeEntered) {
    g_commonProcess.ShowError(kReadModeEntryLocation + entered);
    return NvEditorAfter::Disabled;
  }
  const int read = g_nvBackup.BackupRead(true);
  if (read == kItemsFailed) {
    g_diagLink.ClosePort();
    g_commonProcess.CloseProgressWindow();
    return NvEditorAfter::Disabled;
  }
  if (read != CNVBackup::kDone) {
    g_commonProcess.ShowError(kRereadLocation + read);
    return NvEditorAfter::Disabled;
  }
  ReadCallHistory();
  g_diagLink.ClosePort();
  g_commonProcess.CloseProgressWindow();
  zk::platform::SleepMs(kReadSettleMs);
  return NvEditorAfter::Refill;
}

NvEditorAfter CNVedit::WriteHandset() {
  g_nvBackup.m_editorMode = true;
  g_nvBackup.ClearErrors();
  g_commonProcess.OpenConnectingWindow();
  const int entered = g_diagLink.EnterDiagMode(m_portIndex);
  if (entered != kDiagModeEntered) {
    m_lastWrite = kWriteModeEntryLocation + entered;
    g_commonProcess.ShowError(m_lastWrite);
    return NvEditorAfter::Disabled;
  }
  zk::platform::SleepMs(kWriteSettleMs);
  const int written = g_nvBackup.Restore(true);
  if (written == CNVBackup::kDone) {
    m_lastWrite = kDone;
    g_diagLink.ClosePort();
    g_commonProcess.CloseProgressWindow();
    g_nvBackup.m_editorMode = false;
    g_commonProcess.ShowMessage(kWriteCompleted);
    return NvEditorAfter::Refill;
  }
  if (written == kItemsFailed) {
    m_lastWrite = kItemsFailed;
    g_diagLink.ClosePort();
    g_commonProcess.CloseProgressWindow();
    return NvEditorAfter::Disabled;
  }
  m_lastWrite = kWriteLocation + written;
  m_closedCode = m_lastWrite;
  g_commonProcess.ShowError(m_lastWrite);
  return NvEditorAfter::Close;
}
