// The contract between the library and its Qt interface plugin,
// libzkdownload-qt.so, which is loaded with dlopen only when the Qt
// interface is chosen, so that the library itself never needs Qt.
//
// The plugin exports two C functions. The library first asks for the
// plugin's interface version and refuses a plugin built against another
// one; only then does it create the interface. Both sides are built from
// these headers, so the types passed are the C++ types of src/ui/.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/operator_ui.h"

namespace zk::ui {

// Raised whenever this header, operator_ui.h or nv_editor_view.h changes in
// a way that changes the layout of what crosses between the two.
inline constexpr int kQtPluginInterfaceVersion = 1;

inline constexpr const char* kQtPluginFileName = "libzkdownload-qt.so";
inline constexpr const char* kQtPluginVersionSymbol = "zkdownload_qt_interface_version";
inline constexpr const char* kQtPluginCreateSymbol = "zkdownload_qt_create";

// What the library lends the plugin: the operator's scripted answers
// (ZKDOWNLOAD_ANSWERS). A dialog with a scripted answer is shown briefly and
// then answered, so that scripted runs show the windows too. Each returns
// nullopt when no answer is queued or it does not fit the question.
struct QtPluginHost {
  std::function<std::optional<MessageAnswer>(MessageButtons)> messageAnswer;
  std::function<std::optional<DialogAnswer>()> errorDialogAnswer;
  std::function<std::optional<DialogAnswer>()> endDialogAnswer;
  // Outer nullopt: nothing queued; inner nullopt: the answer cancels.
  std::function<std::optional<std::optional<std::string>>()> fileAnswer;
};

// The plugin's exports.
using QtPluginVersionFunction = int (*)();
// Returns the plugin's interface, which lives until the process ends (Qt
// cannot be unloaded safely), or nullptr with a reason in `error` when the
// version asked for is not the plugin's or Qt cannot start.
using QtPluginCreateFunction = OperatorUi* (*)(int interfaceVersion, const QtPluginHost* host, std::string* error);

}  // namespace zk::ui
