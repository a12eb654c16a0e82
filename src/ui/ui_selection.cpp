#include "ui/ui_selection.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "ui/answer_queue.h"
#include "ui/console_ui.h"
#include "ui/none_ui.h"

namespace zk::ui {
namespace {

// Set once the Qt interface exists and can be loaded.
constexpr bool kQtInterfaceBuilt = false;

bool Named(const char* value, const char* name) {
  for (; *value != '\0' && *name != '\0'; ++value, ++name)
    if (std::tolower(static_cast<unsigned char>(*value)) != *name) return false;
  return *value == '\0' && *name == '\0';
}

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

struct Installed {
  // At exit nothing may keep pointing at an interface that is gone.
  ~Installed() {
    if (ui != nullptr) InstallUi(nullptr);
  }

  std::string answersText;
  bool answersRead = false;
  AnswerQueue answers;
  UiKind kind = UiKind::None;
  std::unique_ptr<OperatorUi> ui;
};

Installed& State() {
  static Installed state;
  return state;
}

}  // namespace

UiKind ChooseUiKind(const UiEnvironment& environment) {
  const char* setting = environment.setting != nullptr ? environment.setting : "";
  if (Named(setting, "none")) return UiKind::None;
  if (Named(setting, "console")) return UiKind::Console;
  if (Named(setting, "qt")) return environment.qtAvailable ? UiKind::Qt : UiKind::Console;
  if (environment.qtAvailable && environment.displayAvailable) return UiKind::Qt;
  return environment.stdinIsTerminal ? UiKind::Console : UiKind::None;
}

UiEnvironment CurrentUiEnvironment() {
  UiEnvironment environment;
  environment.setting = std::getenv("ZKDOWNLOAD_UI");
  environment.qtAvailable = kQtInterfaceBuilt;
  environment.displayAvailable = Set("DISPLAY") || Set("WAYLAND_DISPLAY");
  environment.stdinIsTerminal = isatty(STDIN_FILENO) != 0;
  return environment;
}

UiKind InstallConfiguredUi() {
  Installed& state = State();
  const char* answers = std::getenv("ZKDOWNLOAD_ANSWERS");
  const std::string answersText = answers != nullptr ? answers : "";
  if (!state.answersRead || answersText != state.answersText) {
    state.answers = AnswerQueue(answersText);
    state.answersText = answersText;
    state.answersRead = true;
  }

  const UiKind kind = ChooseUiKind(CurrentUiEnvironment());
  if (state.ui != nullptr && kind == state.kind) {
    InstallUi(state.ui.get());  // the same interface keeps its state (the live line)
    return kind;
  }

  std::unique_ptr<OperatorUi> ui;
  if (kind == UiKind::None)
    ui = std::make_unique<NoneUi>(state.answers);
  else
    ui = std::make_unique<ConsoleUi>(state.answers, stdin, stderr);  // Qt: console until it exists
  InstallUi(ui.get());
  state.ui = std::move(ui);  // the old interface goes only after the new one is in place
  state.kind = kind;
  return kind;
}

}  // namespace zk::ui
