#include "ui/ui_selection.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
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

}  // namespace

UiKind ChooseUiKind(const UiEnvironment& environment) {
  const char* setting = environment.setting != nullptr ? environment.setting : "";
  if (Named(setting, "none")) return UiKind::None;
  if (Named(setting, "console")) return UiKind::Console;
  if (Named(setting, "qt")) return environment.qtAvailable ? UiKind::Qt : UiKind::Console;
  if (environment.qtAvailable && environment.displayAvailable) return UiKind::Qt;
  return environment.stdinIsTerminal ? UiKind::Console : UiKind::None;
}

UiEnvironment CurrentUiEnvironment(const platform::Settings& settings) {
  UiEnvironment environment;
  environment.setting = settings.uiSetting.c_str();
  environment.qtAvailable = kQtInterfaceBuilt;
  environment.displayAvailable = settings.displayAvailable;
  environment.stdinIsTerminal = isatty(STDIN_FILENO) != 0;
  return environment;
}

UiSelection::~UiSelection() {
  // At exit nothing may keep pointing at an interface that is gone.
  if (m_installedIn != nullptr && m_ui != nullptr && &m_installedIn->Ui() == m_ui.get())
    m_installedIn->SetOperatorUi(nullptr);
}

UiKind UiSelection::Install(const platform::Settings& settings, CCommonProcess& process) {
  if (!m_answersRead || settings.answers != m_answersText) {
    m_answers = AnswerQueue(settings.answers);
    m_answersText = settings.answers;
    m_answersRead = true;
  }

  const UiKind kind = ChooseUiKind(CurrentUiEnvironment(settings));
  m_installedIn = &process;
  if (m_ui != nullptr && kind == m_kind) {
    process.SetOperatorUi(m_ui.get());  // the same interface keeps its state (the live line)
    if (kind == UiKind::Console && settings.editorScript != m_editorScriptText) {
      static_cast<ConsoleUi*>(m_ui.get())->SetEditorScript(settings.editorScript);
      m_editorScriptText = settings.editorScript;
    }
    return kind;
  }

  std::unique_ptr<OperatorUi> ui;
  if (kind == UiKind::None)
    ui = std::make_unique<NoneUi>(m_answers);
  else {
    auto console = std::make_unique<ConsoleUi>(m_answers, stdin, stderr);  // Qt: console until it exists
    console->SetEditorScript(settings.editorScript);
    m_editorScriptText = settings.editorScript;
    ui = std::move(console);
  }
  process.SetOperatorUi(ui.get());
  m_ui = std::move(ui);  // the old interface goes only after the new one is in place
  m_kind = kind;
  return kind;
}

}  // namespace zk::ui
