#include "ui/none_ui.h"

namespace zk::ui {

MessageAnswer NoneUi::ShowMessage(const std::string&, MessageButtons buttons) {
  if (const auto answer = m_answers.Next())
    if (const auto chosen = AnswerForMessage(*answer, buttons)) return *chosen;
  return DefaultMessageAnswer(buttons);
}

DialogAnswer NoneUi::ShowErrorDialog(const ErrorDialogView&) {
  if (const auto answer = m_answers.Next())
    if (const auto chosen = AnswerForErrorDialog(*answer)) return *chosen;
  return DialogAnswer::Ok;
}

DialogAnswer NoneUi::ShowEndDialog(const EndDialogView&) {
  if (const auto answer = m_answers.Next())
    if (const auto chosen = AnswerForEndDialog(*answer)) return *chosen;
  return DialogAnswer::End;
}

std::optional<std::string> NoneUi::AnswerForFile() {
  if (const auto answer = m_answers.Next()) return AnswerForFileDialog(*answer);
  return std::nullopt;
}

std::optional<std::string> NoneUi::AskSaveFile(const std::string&, const std::string&) { return AnswerForFile(); }

std::optional<std::string> NoneUi::AskOpenFile(const std::string&, const std::string&) { return AnswerForFile(); }

}  // namespace zk::ui
