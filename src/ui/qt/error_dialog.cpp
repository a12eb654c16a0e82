#include "ui/qt/error_dialog.h"

#include <QTimer>

#include "ui/qt/window_colours.h"
#include "ui/qt/window_setup.h"

namespace zk::ui::qt {
namespace {

// Texts of the library use "\r\n" line ends.
QString Displayed(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

QLineEdit* Field(QWidget* parent, const QString& text) {
  auto* field = new QLineEdit(text, parent);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  QPalette colours = field->palette();
  colours.setColor(QPalette::Base, kErrorFieldRed);
  field->setPalette(colours);
  return field;
}

}  // namespace

ErrorDialog::ErrorDialog(const ErrorDialogView& view)
    : m_messageText(Displayed(view.message)), m_solutionText(Displayed(view.solution)) {
  setWindowTitle(QString::fromStdString(view.caption));
  MakeTopmost(*this);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, kErrorBackground);
  setPalette(colours);
  setAutoFillBackground(true);

  m_port = Field(this, QString::fromStdString(view.portText));
  m_number = Field(this, QString::fromStdString(view.numberText));
  m_message = new QPlainTextEdit(m_messageText, this);
  m_message->setReadOnly(true);
  QPalette white = m_message->palette();
  white.setColor(QPalette::Base, kMessageWhite);
  m_message->setPalette(white);

  m_ok = new PictureButton(":/pictures/IDB_ERR_OK", "OK", this);
  m_solution = new PictureButton(":/pictures/IDB_ERR_SOL", "Solution ...", this);
  m_solution->hide();
  connect(m_ok, &QAbstractButton::clicked, this, &QDialog::accept);
  connect(m_solution, &QAbstractButton::clicked, this, [this] { SwapText(); });
  resize(kWidth, kHeight);
}

void ErrorDialog::resizeEvent(QResizeEvent*) {
  const int w = width();
  const int h = height();
  constexpr int kButtonHeight = 32;
  m_port->setGeometry(8, 6, 60, 20);
  m_number->setGeometry(74, 6, w - 82, 20);
  m_message->setGeometry(8, 32, w - 16, h - 32 - kButtonHeight - 12);
  const int buttonWidth = (w - 24) / 2;
  m_ok->setGeometry(8, h - kButtonHeight - 6, buttonWidth, kButtonHeight);
  m_solution->setGeometry(w - 8 - buttonWidth, h - kButtonHeight - 6, buttonWidth, kButtonHeight);
}

void ErrorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activateWindow();
  m_ok->setFocus();
  // The dialog opens on the failure itself; the hint's button follows once
  // the dialog is up, and only when there is a hint to show.
  if (!m_solutionText.trimmed().isEmpty()) QTimer::singleShot(0, m_solution, [this] { m_solution->show(); });
}

void ErrorDialog::SwapText() {
  m_showingSolution = !m_showingSolution;
  m_message->setPlainText(m_showingSolution ? m_solutionText : m_messageText);
}

}  // namespace zk::ui::qt
