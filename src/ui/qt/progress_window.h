// The progress window of one port: status line, file line, the address row
// of burns, the hand-drawn bar with its percentage and the elapsed time, on
// a pale grey-green ground inside a 4-pixel light orange frame.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

#include "ui/operator_ui.h"
#include "ui/qt/progress_bar.h"

namespace zk::ui::qt {

class ProgressWindow : public QWidget {
 public:
  // Client size when the window is not tiled.
  static constexpr int kWidth = 203;
  static constexpr int kHeight = 159;

  explicit ProgressWindow(const ProgressWindowView& view);

  void SetText(ProgressControl control, const QString& text);
  void SetBar(int low, int high, int position, const QString& percent);
  void SetAddressMode(bool on);

  QString Text(ProgressControl control) const;
  const QString& PercentText() const { return m_percent; }
  bool AddressMode() const { return m_addressMode; }
  ProgressBar& Bar() { return *m_bar; }
  int PortIndex() const { return m_portIndex; }

  // Where the painted labels and the percentage go (client pixels).
  static QRect AddressLabelRect() { return {10, 10, 60, 15}; }
  static QRect FileLabelRect() { return {10, 33, 60, 15}; }
  static QRect StatusLabelRect() { return {10, 56, 60, 15}; }
  static QRect PercentRect() { return {110, 80, 30, 15}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The operation owns the window: the close box does not take it away.
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* Label(ProgressControl control) const;
  QLabel* MakeLabel(Qt::Alignment alignment);

  int m_portIndex = 0;
  QLabel* m_status = nullptr;
  QLabel* m_detail = nullptr;
  QLabel* m_firstAddress = nullptr;
  QLabel* m_separator = nullptr;
  QLabel* m_secondAddress = nullptr;
  QLabel* m_elapsed = nullptr;
  ProgressBar* m_bar = nullptr;
  QString m_percent;
  bool m_addressMode = false;
};

}  // namespace zk::ui::qt
