// The `none` operator interface: headless. It shows nothing, writes nothing
// to the terminal and answers from the scripted queue, else with OK for the
// error dialog, END for the end dialog, the default button of a message box
// and no file for a file dialog.
#pragma once

#include "ui/answer_queue.h"
#include "ui/operator_ui.h"

namespace zk::ui {

class NoneUi : public OperatorUi {
 public:
  explicit NoneUi(AnswerQueue& answers) : m_answers(answers) {}

  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override;
  DialogAnswer ShowEndDialog(const EndDialogView& view) override;
  std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) override;
  std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) override;

 private:
  std::optional<std::string> AnswerForFile();

  AnswerQueue& m_answers;
};

}  // namespace zk::ui
