// A button painted from three pictures: pressed, under the mouse, normal.
// It follows the mouse itself, so the picture changes as the cursor moves
// over and off it.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace zk::ui::qt {

class PictureButton : public QAbstractButton {
 public:
  enum class Look { Normal, Hover, Pressed };

  // `pictures` is the resource prefix of the three pictures:
  // <prefix>U (normal), <prefix>F (under the mouse), <prefix>D (pressed).
  PictureButton(const QString& pictures, const QString& text, QWidget* parent);

  Look CurrentLook() const;
  bool Hovered() const { return m_hover; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void SetHover(bool hover);

  QPixmap m_normal;
  QPixmap m_hoverPicture;
  QPixmap m_pressed;
  bool m_hover = false;
};

}  // namespace zk::ui::qt
