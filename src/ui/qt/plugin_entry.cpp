// The plugin's two C entry points (see ui/qt_plugin.h).
#include <QApplication>
#include <string>

#include "ui/qt/display_probe.h"
#include "ui/qt/qt_operator_ui.h"
#include "ui/qt_plugin.h"

namespace {

// One interface per process: Qt's application object and windows outlive
// every operation, and nothing of Qt is torn down before the process ends.
zk::ui::qt::QtOperatorUi* g_ui = nullptr;

}  // namespace

extern "C" __attribute__((visibility("default"))) int zkdownload_qt_interface_version() {
  return zk::ui::kQtPluginInterfaceVersion;
}

extern "C" __attribute__((visibility("default"))) zk::ui::OperatorUi* zkdownload_qt_create(
    int interfaceVersion, const zk::ui::QtPluginHost* host, std::string* error) {
  if (interfaceVersion != zk::ui::kQtPluginInterfaceVersion) {
    if (error != nullptr)
      *error = "the plugin has interface version " + std::to_string(zk::ui::kQtPluginInterfaceVersion) +
               ", not " + std::to_string(interfaceVersion);
    return nullptr;
  }
  if (QApplication::instance() == nullptr) {
    // Qt would end the process on an X display that does not answer.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const bool x11 = (platform.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) || platform == "xcb";
    if (x11 && !zk::ui::qt::XDisplayReachable(display.toStdString())) {
      if (error != nullptr) *error = "the X display \"" + display.toStdString() + "\" does not answer";
      return nullptr;
    }
  }
  zk::ui::QtPluginHost lent = host != nullptr ? *host : zk::ui::QtPluginHost{};
  if (g_ui == nullptr)
    g_ui = new zk::ui::qt::QtOperatorUi(std::move(lent));  // never deleted: see above
  else
    g_ui->SetHost(std::move(lent));
  return g_ui;
}
