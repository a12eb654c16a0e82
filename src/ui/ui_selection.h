// Choosing the operator interface: ZKDOWNLOAD_UI = qt, console or none.
// Unset (or unknown): qt when the library has its Qt interface and a display
// is available, else console when stdin is a terminal, else none. The Qt
// interface is not built yet, so a request for it gets the console.
#pragma once

namespace zk::ui {

enum class UiKind { None, Console, Qt };

struct UiEnvironment {
  const char* setting = nullptr;  // value of ZKDOWNLOAD_UI, may be null
  bool qtAvailable = false;       // the Qt interface can be loaded
  bool displayAvailable = false;  // DISPLAY or WAYLAND_DISPLAY is set
  bool stdinIsTerminal = false;
};

// The interface that the environment asks for and that can be provided.
UiKind ChooseUiKind(const UiEnvironment& environment);

// The environment of this process.
UiEnvironment CurrentUiEnvironment();

// Builds the interface chosen for this process and installs it; the
// scripted answers (ZKDOWNLOAD_ANSWERS) are read anew only when the
// variable changed since the last call, so a queue is consumed across
// operations. Returns the kind installed.
UiKind InstallConfiguredUi();

}  // namespace zk::ui
