#include "ui/qt/end_dialog.h"

#include <QPainter>

#include "ui/qt/window_colours.h"
#include "ui/qt/window_setup.h"

namespace zk::ui::qt {

EndDialog::EndDialog(const EndDialogView& view)
    : m_background(":/pictures/end_background.png"),
      m_portText(QString::fromStdString(view.portText)),
      m_elapsed(QString::fromStdString(view.elapsed)) {
  setWindowTitle(QString::fromStdString(view.caption));
  MakeTopmost(*this);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, kWindowBackground);
  setPalette(colours);
  setAutoFillBackground(true);

  m_ok = new PictureButton(":/pictures/IDB_ERR_OK", "OK", this);
  m_end = new PictureButton(":/pictures/IDB_END_END", "END", this);
  connect(m_ok, &QAbstractButton::clicked, this, &QDialog::accept);
  connect(m_end, &QAbstractButton::clicked, this, [this] { done(kEndResult); });
  resize(kWidth, kHeight);
}

void EndDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activateWindow();
  m_ok->setFocus();
}

void EndDialog::resizeEvent(QResizeEvent*) {
  const int buttonWidth = (width() - 30) / 2;
  constexpr int kButtonHeight = 40;
  const int y = height() - kButtonHeight - 10;
  m_ok->setGeometry(10, y, buttonWidth, kButtonHeight);
  m_end->setGeometry(width() - 10 - buttonWidth, y, buttonWidth, kButtonHeight);
}

void EndDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), m_background);
  painter.setFont(WindowFont(17, true));
  painter.setPen(kLabelBlue);
  painter.setBackground(kEndTextBackground);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.fillRect(PortRect(), kEndTextBackground);
  painter.fillRect(ElapsedRect(), kEndTextBackground);
  // The 17-pixel font is taller than the elapsed box: the text may spill over it.
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
  painter.drawText(PortRect(), flags, m_portText);
  painter.drawText(ElapsedRect(), flags, m_elapsed);
}

}  // namespace zk::ui::qt
