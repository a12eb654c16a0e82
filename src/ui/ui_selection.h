// Choosing the operator interface: ZKDOWNLOAD_UI = qt, console or none
// (or pipe:FD, for a worker of the service station).
// Unset (or unknown): qt when the Qt interface plugin lies beside the library
// and a display is available, else console when stdin is a terminal, else
// none. When the Qt interface cannot be had, the library says why once on
// stderr and uses the console (qt asked for by name) or the default rule.
#pragma once

#include <memory>
#include <string>

#include "platform/library_state.h"
#include "ui/answer_queue.h"
#include "ui/common_process.h"
#include "ui/operator_ui.h"

namespace zk::ui {

enum class UiKind { None, Console, Qt, Pipe };

struct UiEnvironment {
  const char* setting = nullptr;  // value of ZKDOWNLOAD_UI, may be null or empty
  bool qtAvailable = false;       // the Qt interface plugin lies beside the library
  bool displayAvailable = false;  // DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set
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
  static UiKind FallbackKind(const UiEnvironment& environment);
  void NoteFallback(const std::string& reason, UiKind kind);
  // The plugin's interface, or nullptr (the reason kept in m_qtError).
  std::unique_ptr<OperatorUi> LoadQt();

  std::string m_qtError;
  bool m_fallbackNoted = false;
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
