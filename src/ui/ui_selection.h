// Choosing the operator interface: ZKDOWNLOAD_UI = qt, console or none.
// Unset (or unknown): qt when the library has its Qt interface and a display
// is available, else console when stdin is a terminal, else none. The Qt
// interface is not built yet, so a request for it gets the console.
#pragma once

#include <memory>
#include <string>

#include "platform/library_state.h"
#include "ui/answer_queue.h"
#include "ui/common_process.h"
#include "ui/operator_ui.h"

namespace zk::ui {

enum class UiKind { None, Console, Qt };

struct UiEnvironment {
  const char* setting = nullptr;  // value of ZKDOWNLOAD_UI, may be null or empty
  bool qtAvailable = false;       // the Qt interface can be loaded
  bool displayAvailable = false;  // DISPLAY or WAYLAND_DISPLAY is set
  bool stdinIsTerminal = false;
};

// The interface that the environment asks for and that can be provided.
UiKind ChooseUiKind(const UiEnvironment& environment);

// The environment as the settings in force describe it.
UiEnvironment CurrentUiEnvironment(const platform::Settings& settings);

// The interface chosen for this process, built on demand and kept across
// operations: the same interface keeps its state (the console's live line)
// and the scripted answers are read anew only when their text changed, so
// one queue is consumed across operations.
class UiSelection {
 public:
  UiSelection() = default;
  ~UiSelection();
  UiSelection(const UiSelection&) = delete;
  UiSelection& operator=(const UiSelection&) = delete;

  // Builds the interface the settings ask for and installs it in `process`.
  // Returns the kind installed.
  UiKind Install(const platform::Settings& settings, CCommonProcess& process);

 private:
  std::string m_answersText;
  bool m_answersRead = false;
  std::string m_editorScriptText;  // the editor script the console interface was given
  AnswerQueue m_answers;
  UiKind m_kind = UiKind::None;
  std::unique_ptr<OperatorUi> m_ui;
  CCommonProcess* m_installedIn = nullptr;
};

}  // namespace zk::ui

// The library's selection (built in boundary/globals.cpp).
extern zk::ui::UiSelection g_uiSelection;
