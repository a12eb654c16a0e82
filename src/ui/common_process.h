// CCommonProcess: the progress window and the error and end dialogs of every
// operation (one global object, g_commonProcess).
//
// Flows call the progress operations unconditionally: in silent mode, and
// whenever no window is open, they do nothing (closing still closes the
// port). The object remembers what the window shows and calls the operator
// interface only when something visible changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ui/link_view.h"
#include "ui/operator_ui.h"

class CCommonProcess {
 public:
  // Control identifiers of the progress window.
  static constexpr int kProgressBarId = 1000;
  static constexpr int kFileLineId = 1001;
  static constexpr int kSecondAddressId = 1003;
  static constexpr int kFirstAddressId = 1004;
  static constexpr int kStatusLineId = 1005;
  static constexpr int kElapsedId = 1006;
  static constexpr int kAddressSeparatorId = 1016;

  CCommonProcess() = default;
  CCommonProcess(const CCommonProcess&) = delete;
  CCommonProcess& operator=(const CCommonProcess&) = delete;

  // --- what the windows are shown through and for --------------------------
  // The operator interface in use (not owned); nullptr selects the headless
  // one, which shows nothing and answers every question with its default.
  void SetOperatorUi(zk::ui::OperatorUi* ui);
  zk::ui::OperatorUi& Ui() const { return *m_ui; }
  // The link the windows are shown for (not owned); nullptr selects a link
  // with no port.
  void SetLink(zk::ui::LinkView* link);
  // Lets the operator interface handle at most `maxEvents` pending events.
  void ProcessPendingEvents(int maxEvents) { m_ui->ProcessPendingEvents(maxEvents); }

  // Closes the window (and the port) and forgets the last failure, the
  // pending NV backup and the handset path; the operator interface goes
  // back to the headless one.
  void ForgetRunState();

  // --- progress window -------------------------------------------------
  // Opens the window for the link's port index and operation kind, with
  // " " as file line and "Connecting..." as status; takes the start tick.
  // Nothing happens while a window is open, nor in silent mode unless the
  // interface follows silent operations (a host's callback).
  void OpenProgressWindow();
  // Opens the window as a handset step begins: range 100, no address row,
  // the elapsed time, "Connecting..." and an empty file line.
  void OpenConnectingWindow();
  // Closes the port, then the window if one is open.
  void CloseProgressWindow();
  bool IsProgressWindowOpen() const { return m_windowOpen; }

  // Shows `text` in the control with this identifier (status 1005, file
  // line 1001, addresses 1004 and 1003, elapsed time 1006).
  void SetText(int controlId, const std::string& text);
  void SetStatusText(const std::string& text) { SetText(kStatusLineId, text); }
  void SetDetailText(const std::string& text) { SetText(kFileLineId, text); }
  // What the open window's status line shows (empty without a window).
  const std::string& StatusText() const { return m_shown.status; }

  // Tells the operator that a stage of a main operation began (not in
  // silent mode, unless the interface follows silent operations).
  void EnterStage(const std::string& name);

  void SetProgressRange(int upper);  // position 0, range 0 to upper
  void StepProgress();               // position + 1
  void SetProgressPosition(int position);
  void UpdateElapsedTime();
  void SetAddressMode(bool on);

  // --- message boxes (shown in silent mode too) -------------------------
  void ShowMessage(const std::string& text);
  zk::ui::MessageAnswer AskMessage(const std::string& text, zk::ui::MessageButtons buttons);
  // "Successfully Completed!" after a read that needs no end dialog.
  void ShowCompleted();

  // --- error and end dialogs --------------------------------------------
  // The error dialog for a failure code: closes the port and the progress
  // window, shows the dialog; on OK writes the error login file and starts
  // the error-sending tool. Afterwards the NV backup is saved when one is
  // pending. Does nothing in silent mode.
  void ShowError(int code);
  // The end dialog: Ok serves the next handset, End stops (always End in
  // silent mode).
  zk::ui::DialogAnswer RunEndDialog();

  // The NV module's save of the pending NV backup, run by the error path
  // after the error dialog.
  void SetPendingNvBackupSaver(std::function<void()> saver) { m_saveNvBackup = std::move(saver); }
  // Saves the pending NV backup, if any, and clears the mark: the end of a
  // failed operation, whether or not an error dialog was shown.
  void SavePendingNvBackup();

  int64_t m_startTick = 0;    // ms clock value when the window was opened
  int64_t m_currentTick = 0;  // ms clock value of the last elapsed-time update
  std::string m_elapsedText;  // last elapsed-time text; the end dialog shows it
  int m_addressMode = 0;      // 1 while the address row is in use
  int m_failureCode = 0;      // code of the failure being reported
  int m_nvBackupPending = 0;  // set once the PC's NV copy may be the only one; cleared when the handset holds it
  int m_secondDownload = 0;   // set by the flash engine, cleared with the above
  std::string m_handsetPath;  // handset folder or file of the last EFS step

 private:
  // What the open window shows, so that unchanged values are not redrawn.
  struct Shown {
    std::string status, detail, firstAddress, secondAddress, elapsed, percent;
    int fill = -1;
  };

  void ShowText(zk::ui::ProgressControl control, std::string& shown, const std::string& text);
  void RedrawBar();
  void SoundAlert();
  static zk::ui::OperatorUi& HeadlessUi();
  static zk::ui::LinkView& NoLink();

  zk::ui::OperatorUi* m_ui = &HeadlessUi();
  zk::ui::LinkView* m_link = &NoLink();
  bool m_windowOpen = false;
  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
  Shown m_shown;
  std::function<void()> m_saveNvBackup;
};

// The library's progress window and dialogs (built in boundary/globals.cpp;
// nothing in ui/ refers to it).
extern CCommonProcess g_commonProcess;
