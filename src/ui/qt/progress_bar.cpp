#include "ui/qt/progress_bar.h"

#include <QPainter>
#include <algorithm>

namespace zk::ui::qt {
namespace {

constexpr int kShadeStep = 51;

QColor Halfway(const QColor& a, const QColor& b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

}  // namespace

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {}

QColor ProgressBar::Lighter(QColor base) {
  const auto up = [](int channel) { return channel + kShadeStep > 255 ? channel : channel + kShadeStep; };
  return QColor(up(base.red()), up(base.green()), up(base.blue()));
}

QColor ProgressBar::Darker(QColor base) {
  const auto down = [](int channel) { return channel < kShadeStep ? channel : channel - kShadeStep; };
  return QColor(down(base.red()), down(base.green()), down(base.blue()));
}

int ProgressBar::ComputeFill() const {
  if (m_high <= m_low) return 0;
  const long long span = m_high - m_low;
  const long long done = std::clamp<long long>(m_position - m_low, 0, span);
  return static_cast<int>(std::max(0, width() - 3) * done / span);
}

bool ProgressBar::SetPosition(int low, int high, int position) {
  m_low = low;
  m_high = high;
  m_position = position;
  const int fill = ComputeFill();
  if (fill == m_fill) return false;
  m_fill = fill;
  repaint();  // drawn now, not when the event loop next runs: flows pump rarely
  return true;
}

void ProgressBar::resizeEvent(QResizeEvent*) { m_fill = ComputeFill(); }

void ProgressBar::paintEvent(QPaintEvent*) {
  ++m_paints;
  QPainter painter(this);
  const QPalette& colours = palette();
  const int w = width();
  const int h = height();
  painter.fillRect(rect(), colours.color(QPalette::Button));

  // Outer edge: dark shadow above and left, button shadow below and right,
  // and a line halfway between them just inside.
  const QColor darkShadow = colours.color(QPalette::Shadow);
  const QColor buttonShadow = colours.color(QPalette::Dark);
  painter.setPen(darkShadow);
  painter.drawLine(0, 0, w - 1, 0);
  painter.drawLine(0, 0, 0, h - 1);
  painter.setPen(buttonShadow);
  painter.drawLine(0, h - 1, w - 1, h - 1);
  painter.drawLine(w - 1, 0, w - 1, h - 1);
  painter.setPen(Halfway(darkShadow, buttonShadow));
  painter.drawRect(1, 1, w - 3, h - 3);

  const int fill = std::max(0, m_fill);
  if (fill == 0 || h < 8) return;
  const QColor base = colours.color(QPalette::Highlight);
  const QColor light1 = Lighter(base);
  const QColor light2 = Lighter(light1);
  const QColor light3 = Lighter(light2);
  const QColor dark1 = Darker(base);
  const QColor dark2 = Darker(dark1);
  const int left = 2;
  const int top = 2;
  const int bottom = h - 3;
  painter.fillRect(left, top, fill, bottom - top + 1, base);
  const QColor rows[] = {light1, light2, light3};
  for (int i = 0; i < 3; ++i) {
    painter.setPen(rows[i]);
    painter.drawLine(left, top + i, left + fill - 1, top + i);
  }
  painter.setPen(dark1);
  painter.drawLine(left, bottom - 1, left + fill - 1, bottom - 1);
  painter.setPen(dark2);
  painter.drawLine(left, bottom, left + fill - 1, bottom);
  painter.drawLine(left + fill - 1, top, left + fill - 1, bottom);
}

}  // namespace zk::ui::qt
