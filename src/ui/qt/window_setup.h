// What every window of the Qt interface shares: placement on the screen
// (tiled, centred or kept, always topmost) and the optional screenshots.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include "ui/operator_ui.h"

namespace zk::ui::qt {

// Makes `window` topmost and puts it where `placement` says: a tile's outer
// frame at (x, y) with the tile's size, or its own client size centred on
// the screen, or wherever the window system puts it. Call after show(): the
// frame's measures are known only then.
void PlaceWindow(QWidget& window, const WindowPlacement& placement);

// Marks `window` topmost before it is shown.
void MakeTopmost(QWidget& window);

// With ZKDOWNLOAD_QT_SCREENSHOTS=DIR set, saves what `window` shows to
// DIR/<name>.png; returns the file written, or an empty string.
QString SaveScreenshot(QWidget& window, const QString& name);

}  // namespace zk::ui::qt
