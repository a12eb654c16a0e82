// Helpers of the Qt tests: driving a modal dialog from a timer, sampling the
// colours of a rendered window, and a link that writes its error report.
#pragma once

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ui/link_view.h"

namespace zk::test {

// Runs `action` on the modal dialog as soon as one is up (polled from a
// timer, as the dialog's own event loop runs).
inline void WhenModal(std::function<void(QWidget&)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(*dialog);
  });
  timer->start(10);
}

// Whether any pixel of `area` in `image` has exactly `colour`.
inline bool HasColour(const QImage& image, const QRect& area, const QColor& colour) {
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if (image.pixelColor(x, y).rgb() == colour.rgb()) return true;
  return false;
}

// A link for one port that writes the error report into a folder.
class ReportingLink : public ui::LinkView {
 public:
  explicit ReportingLink(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  int PortIndex() const override { return port; }
  int OperationKind() const override { return kind; }
  bool WriteErrorLogin(const std::string& report, int portIndex) override {
    std::ofstream(ReportPath(portIndex), std::ios::binary) << report;
    return true;
  }
  std::filesystem::path ReportPath(int portIndex) const {
    return m_folder / ("error_login_COM" + std::to_string(portIndex + 1) + ".txt");
  }

  int port = 4;  // COM5
  int kind = 0;

 private:
  std::filesystem::path m_folder;
};

}  // namespace zk::test
