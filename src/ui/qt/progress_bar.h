// The progress window's bar, drawn by hand: a button-face trough and a
// filled part in the highlight colour with a three-dimensional edge. It is
// repainted only when the filled width in pixels changes.
#pragma once

#include <QColor>
#include <QWidget>

namespace zk::ui::qt {

class ProgressBar : public QWidget {
 public:
  explicit ProgressBar(QWidget* parent);

  // Stores the range and position; repaints at once when the fill moved.
  // Returns true when it repainted.
  bool SetPosition(int low, int high, int position);
  int FillWidth() const { return m_fill; }
  int PaintCount() const { return m_paints; }

  // A channel-wise shade of `base`: +51 per step (a channel that would pass
  // 255 keeps its value) or -51 per step (a channel below 51 keeps it).
  static QColor Lighter(QColor base);
  static QColor Darker(QColor base);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int ComputeFill() const;

  int m_low = 0;
  int m_high = 100;
  int m_position = 0;
  int m_fill = -1;  // last width drawn; -1 before the first
  int m_paints = 0;
};

}  // namespace zk::ui::qt
