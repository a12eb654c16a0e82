// The `console` operator interface: the progress window as one live line on
// the terminal (redrawn in place with '\r') or, into a file or a pipe, as a
// log of timestamped lines; dialogs and message boxes as prompts. Scripted answers (ZKDOWNLOAD_ANSWERS) are used first; then the
// operator is asked on `in`. At the end of `in` every question takes its
// default: OK, END, the default button, no file.
#pragma once

#include <cstdio>
#include <string>

#include <deque>
#include <optional>
#include <string_view>

#include "ui/answer_queue.h"
#include "ui/operator_ui.h"
#include "ui/progress_log.h"

namespace zk::ui {

class ConsoleUi : public OperatorUi {
 public:
  // Live: one line redrawn in place; Log: a timestamped line per change.
  enum class Style { Live, Log };

  // Neither stream is owned; `out` is normally stderr, `in` stdin. Without a
  // style: Live when `out` is a terminal, else Log.
  ConsoleUi(AnswerQueue& answers, std::FILE* in, std::FILE* out, std::optional<Style> style = std::nullopt);

  void OpenProgress(const ProgressWindowView& view) override;
  void CloseProgress() override;
  void SetProgressText(ProgressControl control, const std::string& text) override;
  void SetProgressBar(int low, int high, int position, const std::string& percent) override;
  void SetAddressMode(bool on) override;
  void EnterStage(const std::string& name) override;

  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override;
  DialogAnswer ShowEndDialog(const EndDialogView& view) override;
  std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) override;
  std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) override;
  bool Beep(int frequencyHz, int durationMs) override;
  // The editor as tables and commands ("help" lists them); scripted answers
  // are taken as commands first. The end of input leaves it like "exit".
  NvEditorEnd RunNvEditor(NvEditorModel& model) override;
  // Editor commands taken before any other (ZKDOWNLOAD_EDITOR_SCRIPT: one
  // a line, so that values may hold commas). Message boxes never take them.
  void SetEditorScript(std::string_view script);

  // Characters of the bar between its brackets.
  static constexpr int kBarCells = 20;

 private:
  struct Progress {
    std::string status, detail, percent, elapsed, firstAddress, secondAddress;
    int low = 0, high = 100, position = 0;
    bool addressMode = false;
  };

  std::string ComposeLine() const;
  void Redraw();
  void EndLiveLine();
  void Write(const std::string& text);
  // One line from `in` without its line end; nullopt at the end of input.
  std::optional<std::string> ReadLine();
  // Prints `prompt` and reads the reply; a scripted answer is taken first
  // and echoed.
  std::optional<std::string> Ask(const std::string& prompt);
  int TerminalColumns() const;
  // The next editor command: scripted first, then from `in`.
  std::optional<std::string> NextEditorCommand();

  AnswerQueue& m_answers;
  std::FILE* m_in;
  std::FILE* m_out;
  Style m_style;
  ProgressLog m_log;
  bool m_open = false;
  bool m_lineLive = false;    // the cursor stands at the end of the live line
  std::size_t m_lineLength = 0;
  Progress m_progress;
  std::deque<std::string> m_editorScript;
};

}  // namespace zk::ui
