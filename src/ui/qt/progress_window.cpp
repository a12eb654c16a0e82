#include "ui/qt/progress_window.h"

#include <QCloseEvent>
#include <QPainter>

#include "ui/qt/window_colours.h"
#include "ui/qt/window_setup.h"

namespace zk::ui::qt {
namespace {

constexpr int kTextX = 74;
constexpr int kRowHeight = 15;
constexpr int kBarY = 98;
constexpr int kBarHeight = 16;
constexpr int kElapsedY = 120;

}  // namespace

ProgressWindow::ProgressWindow(const ProgressWindowView& view) : m_portIndex(view.portIndex) {
  setWindowTitle(QString::fromStdString(view.caption));
  setAttribute(Qt::WA_ShowWithoutActivating);
  MakeTopmost(*this);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, kWindowBackground);
  setPalette(colours);
  setAutoFillBackground(true);
  setFont(WindowFont(11, false));

  m_status = MakeLabel(Qt::AlignLeft | Qt::AlignVCenter);
  m_detail = MakeLabel(Qt::AlignLeft | Qt::AlignVCenter);
  m_firstAddress = MakeLabel(Qt::AlignLeft | Qt::AlignVCenter);
  m_separator = MakeLabel(Qt::AlignCenter);
  m_secondAddress = MakeLabel(Qt::AlignLeft | Qt::AlignVCenter);
  m_elapsed = MakeLabel(Qt::AlignCenter);
  m_bar = new ProgressBar(this);
  resize(kWidth, kHeight);
}

QLabel* ProgressWindow::MakeLabel(Qt::Alignment alignment) {
  auto* label = new QLabel(this);
  label->setAlignment(alignment);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void ProgressWindow::resizeEvent(QResizeEvent*) {
  const int textWidth = std::max(20, width() - kTextX - 8);
  m_firstAddress->setGeometry(kTextX, 10, 62, kRowHeight);
  m_separator->setGeometry(kTextX + 62, 10, 8, kRowHeight);
  m_secondAddress->setGeometry(kTextX + 70, 10, 62, kRowHeight);
  m_detail->setGeometry(kTextX, 33, textWidth, kRowHeight);
  m_status->setGeometry(kTextX, 56, textWidth, kRowHeight);
  m_bar->setGeometry(10, kBarY, std::max(20, width() - 20), kBarHeight);
  m_elapsed->setGeometry(10, kElapsedY, std::max(20, width() - 20), kRowHeight);
}

QLabel* ProgressWindow::Label(ProgressControl control) const {
  switch (control) {
    case ProgressControl::Status: return m_status;
    case ProgressControl::Detail: return m_detail;
    case ProgressControl::Elapsed: return m_elapsed;
    case ProgressControl::FirstAddress: return m_firstAddress;
    case ProgressControl::SecondAddress: return m_secondAddress;
  }
  return m_status;
}

void ProgressWindow::SetText(ProgressControl control, const QString& text) { Label(control)->setText(text); }

QString ProgressWindow::Text(ProgressControl control) const { return Label(control)->text(); }

void ProgressWindow::SetBar(int low, int high, int position, const QString& percent) {
  m_bar->SetPosition(low, high, position);
  if (percent == m_percent) return;
  m_percent = percent;
  update(PercentRect().adjusted(-20, 0, 20, 0));  // the text may be wider than its box
}

void ProgressWindow::SetAddressMode(bool on) {
  m_addressMode = on;
  m_separator->setText(on ? QStringLiteral("/") : QString());
  if (!on) {
    m_firstAddress->clear();
    m_secondAddress->clear();
  }
  update(AddressLabelRect());
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (event->spontaneous()) event->ignore();
}

void ProgressWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The frame along all four client edges.
  const int w = width();
  const int h = height();
  painter.fillRect(0, 0, w, kFrameWidth, kFrameOrange);
  painter.fillRect(0, h - kFrameWidth, w, kFrameWidth, kFrameOrange);
  painter.fillRect(0, 0, kFrameWidth, h, kFrameOrange);
  painter.fillRect(w - kFrameWidth, 0, kFrameWidth, h, kFrameOrange);

  painter.setFont(WindowFont(10, true));
  painter.setPen(kLabelBlue);
  if (m_addressMode) painter.drawText(AddressLabelRect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Address"));
  painter.drawText(FileLabelRect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("File Name"));
  painter.drawText(StatusLabelRect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Status"));

  // The percentage, centred on its box on one line; it may spill over
  // the box's sides ("  100%  " is wider than the box).
  painter.setPen(kPercentRed);
  painter.setBackground(kWindowBackground);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.drawText(PercentRect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, m_percent);
}

}  // namespace zk::ui::qt
