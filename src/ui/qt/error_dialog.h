// The error dialog: the port, the failure number and the message, with the
// "Solution ..." button that swaps the message for the hint and back. OK
// accepts (the library then writes the report); any other way out rejects.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/operator_ui.h"
#include "ui/qt/picture_button.h"

namespace zk::ui::qt {

class ErrorDialog : public QDialog {
 public:
  static constexpr int kWidth = 243;
  static constexpr int kHeight = 172;

  explicit ErrorDialog(const ErrorDialogView& view);

  PictureButton& OkButton() { return *m_ok; }
  PictureButton& SolutionButton() { return *m_solution; }
  QString ShownText() const { return m_message->toPlainText(); }
  bool ShowingSolution() const { return m_showingSolution; }
  QString PortText() const { return m_port->text(); }
  QString NumberText() const { return m_number->text(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SwapText();

  QString m_messageText;
  QString m_solutionText;
  bool m_showingSolution = false;
  QLineEdit* m_port = nullptr;
  QLineEdit* m_number = nullptr;
  QPlainTextEdit* m_message = nullptr;
  PictureButton* m_ok = nullptr;
  PictureButton* m_solution = nullptr;
};

}  // namespace zk::ui::qt
