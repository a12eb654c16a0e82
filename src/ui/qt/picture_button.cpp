#include "ui/qt/picture_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace zk::ui::qt {

PictureButton::PictureButton(const QString& pictures, const QString& text, QWidget* parent)
    : QAbstractButton(parent),
      m_normal(pictures + "U.png"),
      m_hoverPicture(pictures + "F.png"),
      m_pressed(pictures + "D.png") {
  setText(text);  // for the keyboard and accessibility; the picture shows it
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

PictureButton::Look PictureButton::CurrentLook() const {
  if (isDown()) return Look::Pressed;
  return m_hover ? Look::Hover : Look::Normal;
}

void PictureButton::SetHover(bool hover) {
  if (hover == m_hover) return;
  m_hover = hover;
  update();
}

void PictureButton::enterEvent(QEnterEvent*) { SetHover(true); }
void PictureButton::leaveEvent(QEvent*) { SetHover(false); }
void PictureButton::mouseMoveEvent(QMouseEvent* event) {
  SetHover(rect().contains(event->position().toPoint()));
  QAbstractButton::mouseMoveEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const Look look = CurrentLook();
  const QPixmap& picture = look == Look::Pressed ? m_pressed : look == Look::Hover ? m_hoverPicture : m_normal;
  // The pictures are drawn for a 170 x 50 button; smaller windows get them
  // scaled to the button.
  painter.drawPixmap(rect(), picture);
  if (hasFocus()) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
  }
}

}  // namespace zk::ui::qt
