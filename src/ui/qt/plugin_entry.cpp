// The plugin's two C entry points (see ui/qt_plugin.h).
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <string>

#include "ui/qt/display_probe.h"
#include "ui/qt/qt_operator_ui.h"
#include "ui/qt_plugin.h"

namespace {

// One interface per process: Qt's application object and windows outlive
// every operation, and nothing of Qt is torn down before the process ends.
zk::ui::qt::QtOperatorUi* g_ui = nullptr;

// Whether Qt's Wayland platform plugin is installed: in this Qt's plugin
// folder, or in one that QT_PLUGIN_PATH adds.
bool WaylandPluginInstalled() {
  QStringList folders = qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts);
  folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
  for (const QString& folder : folders) {
    if (!QDir(folder + "/platforms").entryList({"libqwayland*.so"}, QDir::Files).isEmpty()) return true;
  }
  return false;
}

zk::ui::qt::DisplayEnvironment CurrentDisplayEnvironment() {
  zk::ui::qt::DisplayEnvironment environment;
  environment.qpaPlatform = qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
  environment.display = qEnvironmentVariable("DISPLAY").toStdString();
  environment.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY").toStdString();
  environment.runtimeDirectory = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
  environment.waylandPluginInstalled = WaylandPluginInstalled();
  return environment;
}

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
  std::string platform;
  if (QApplication::instance() == nullptr) {
    // Qt would end the process if no platform it tries can start.
    const zk::ui::qt::PlatformChoice choice = zk::ui::qt::ChoosePlatform(CurrentDisplayEnvironment());
    if (!choice.usable) {
      if (error != nullptr) *error = choice.problem;
      return nullptr;
    }
    platform = choice.platform;
  }
  zk::ui::QtPluginHost lent = host != nullptr ? *host : zk::ui::QtPluginHost{};
  if (g_ui == nullptr)
    g_ui = new zk::ui::qt::QtOperatorUi(std::move(lent), platform);  // never deleted: see above
  else
    g_ui->SetHost(std::move(lent));
  return g_ui;
}
