#include "ui/qt/window_setup.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace zk::ui::qt {

void MakeTopmost(QWidget& window) { window.setWindowFlag(Qt::WindowStaysOnTopHint, true); }

void PlaceWindow(QWidget& window, const WindowPlacement& placement) {
  switch (placement.mode) {
    case WindowPlacement::Mode::Tiled: {
      // The tile measures the outer frame; the client gets what is left.
      const QSize frame = window.frameGeometry().size() - window.geometry().size();
      window.resize(QSize(placement.width, placement.height) - frame);
      window.move(placement.x, placement.y);
      return;
    }
    case WindowPlacement::Mode::Centred: {
      const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
      if (screen == nullptr) return;
      const QRect area = screen->availableGeometry();
      QRect frame = window.frameGeometry();
      frame.moveCenter(area.center());
      window.move(frame.topLeft());
      return;
    }
    case WindowPlacement::Mode::Kept:
      return;
  }
}

QString SaveScreenshot(QWidget& window, const QString& name) {
  const QString directory = qEnvironmentVariable("ZKDOWNLOAD_QT_SCREENSHOTS");
  if (directory.isEmpty()) return {};
  QDir().mkpath(directory);
  const QString file = QDir(directory).filePath(name + ".png");
  return window.grab().save(file, "PNG") ? file : QString();
}

}  // namespace zk::ui::qt
