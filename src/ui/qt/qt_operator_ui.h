// The Qt operator interface: the progress window, the error and end
// dialogs, message boxes, file dialogs and the NV editor as windows on the
// screen. It uses the host's QApplication when there is one and otherwise
// creates its own. A dialog with a scripted answer (ZKDOWNLOAD_ANSWERS) is
// shown for a moment and then answered, so scripted runs show every window.
#pragma once

#include <QApplication>
#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>

#include "ui/operator_ui.h"
#include "ui/qt/progress_window.h"
#include "ui/qt_plugin.h"

namespace zk::ui::qt {

class QtOperatorUi : public OperatorUi {
 public:
  // How long a dialog with a scripted answer stays on the screen.
  static constexpr int kScriptedAnswerMs = 700;

  // `platform`: the Qt platform the application object starts with, when
  // this creates it; empty: Qt's own choice.
  explicit QtOperatorUi(QtPluginHost host, const std::string& platform = {});
  ~QtOperatorUi() override;

  void SetHost(QtPluginHost host) { m_host = std::move(host); }

  void OpenProgress(const ProgressWindowView& view) override;
  void CloseProgress() override;
  void SetProgressText(ProgressControl control, const std::string& text) override;
  void SetProgressBar(int low, int high, int position, const std::string& percent) override;
  void SetAddressMode(bool on) override;

  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override;
  DialogAnswer ShowEndDialog(const EndDialogView& view) override;
  std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) override;
  std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) override;
  NvEditorEnd RunNvEditor(NvEditorModel& model) override;
  bool Beep(int frequencyHz, int durationMs) override;
  void ProcessPendingEvents(int maxEvents) override;

  // The open progress window (nullptr when none); for tests.
  ProgressWindow* Progress() const { return m_progress.get(); }

 private:
  // Runs `dialog` modally; with a scripted result the dialog closes with it
  // after a moment. Saves a screenshot named `shot` once it is shown.
  int RunModal(QDialog& dialog, std::optional<int> scripted, const QString& shot);
  // True on the thread of the application object; otherwise says so once.
  bool OnGuiThread();

  QtPluginHost m_host;
  std::unique_ptr<QApplication> m_ownApplication;
  std::unique_ptr<ProgressWindow> m_progress;
  std::atomic<bool> m_offThreadNoted{false};
};

}  // namespace zk::ui::qt
