// Loading the Qt interface plugin: found beside the library file, checked
// for its interface version, asked for its interface.
#pragma once

#include <memory>
#include <string>

#include "ui/operator_ui.h"
#include "ui/qt_plugin.h"

namespace zk::ui {

// Where the plugin is looked for: beside the library (or the executable that
// linked the library statically).
std::string QtPluginPath();

struct QtPluginLoad {
  std::unique_ptr<OperatorUi> ui;  // nullptr when the plugin was refused or failed
  std::string error;               // why, in a sentence for the operator
};

// Loads the plugin at `path` and creates its interface; a plugin whose
// interface version is not `expectedVersion` is refused before anything of
// it runs. The handle is never closed: Qt does not survive being unloaded.
QtPluginLoad LoadQtPlugin(const std::string& path, const QtPluginHost& host,
                          int expectedVersion = kQtPluginInterfaceVersion);

}  // namespace zk::ui
