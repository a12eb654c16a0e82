// The message boxes and the error and end dialogs of CCommonProcess.
#include "platform/clock.h"
#include "ui/common_process.h"
#include "ui/error_sending.h"
#include "ui/failure_context.h"
#include "ui/failure_report.h"
#include "ui/progress_texts.h"
#include "ui/silent_mode.h"
#include "ui/window_placement.h"

using zk::ui::DialogAnswer;
using zk::ui::MessageAnswer;
using zk::ui::MessageButtons;

namespace {

constexpr const char* kCompleted = "Successfully Completed!";

// The alert of both dialogs: three tones of 500 Hz for 100 ms, each followed
// by a 500 ms pause.
constexpr int kAlertTones = 3;
constexpr int kAlertHz = 500;
constexpr int kAlertToneMs = 100;
constexpr int kAlertPauseMs = 500;

}  // namespace

void CCommonProcess::ShowMessage(const std::string& text) { Ui().ShowMessage(text, MessageButtons::Ok); }

MessageAnswer CCommonProcess::AskMessage(const std::string& text, MessageButtons buttons) {
  return Ui().ShowMessage(text, buttons);
}

void CCommonProcess::ShowCompleted() { ShowMessage(kCompleted); }

void CCommonProcess::SoundAlert() {
  for (int tone = 0; tone < kAlertTones; ++tone)
    if (Ui().Beep(kAlertHz, kAlertToneMs)) zk::platform::SleepMs(kAlertPauseMs);
}

void CCommonProcess::ShowError(int code) {
  if (zk::ui::SilentMode()) return;
  m_failureCode = code;
  CloseProgressWindow();

  const int port = m_link->PortIndex();
  const int kind = m_link->OperationKind();
  zk::ui::FailureContext context = m_link->GatherFailureContext();
  context.handsetPath = m_handsetPath;
  const zk::ui::FailureDescription failure = zk::ui::DescribeFailure(code, context);

  zk::ui::ErrorDialogView view;
  view.portIndex = port;
  view.kind = kind;
  view.code = code;
  view.caption = "Error Dialog - " + zk::ui::PortText(port);
  view.portText = zk::ui::PortText(port);
  view.numberText = std::to_string(code);
  view.message = failure.message;
  view.solution = failure.solution;
  view.placement = zk::ui::ErrorDialogPlacement(port, kind);
  const std::string report = zk::ui::BuildReportText(failure, context);

  SoundAlert();
  if (Ui().ShowErrorDialog(view) == DialogAnswer::Ok) {
    m_link->WriteErrorLogin(report, port);
    zk::ui::HandOverErrorLogin(port, m_link->ModelName());  // not waited for; its result is not reported
  }

  // A failure after the handset entered its downloader leaves the NV image
  // saved only in memory: keep it in the backup file.
  SavePendingNvBackup();
  m_secondDownload = 0;
}

void CCommonProcess::SavePendingNvBackup() {
  if (m_nvBackupPending != 0 && m_saveNvBackup) m_saveNvBackup();
  m_nvBackupPending = 0;
}

DialogAnswer CCommonProcess::RunEndDialog() {
  if (zk::ui::SilentMode()) return DialogAnswer::End;
  const int port = m_link->PortIndex();
  const int kind = m_link->OperationKind();

  zk::ui::EndDialogView view;
  view.portIndex = port;
  view.kind = kind;
  view.caption = "Success Download - " + zk::ui::PortText(port);
  view.portText = zk::ui::PortText(port);
  view.elapsed = m_elapsedText;
  view.placement = zk::ui::EndDialogPlacement(port, kind);

  SoundAlert();
  // Closing the dialog any other way than OK ends the run like END.
  return Ui().ShowEndDialog(view) == DialogAnswer::Ok ? DialogAnswer::Ok : DialogAnswer::End;
}

