#include "ui/ui_selection.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "ui/answer_queue.h"
#include "ui/console_ui.h"
#include "ui/none_ui.h"
#include "ui/pipe_ui.h"
#include "ui/qt_plugin_loader.h"

namespace zk::ui {
namespace {

bool Named(const char* value, const char* name) {
  for (; *value != '\0' && *name != '\0'; ++value, ++name)
    if (std::tolower(static_cast<unsigned char>(*value)) != *name) return false;
  return *value == '\0' && *name == '\0';
}

bool AskedForQt(const UiEnvironment& environment) {
  return environment.setting != nullptr && Named(environment.setting, "qt");
}

}  // namespace

UiKind ChooseUiKind(const UiEnvironment& environment) {
  const char* setting = environment.setting != nullptr ? environment.setting : "";
  if (Named(setting, "none")) return UiKind::None;
  if (PipeUiDescriptor(setting) >= 0) return UiKind::Pipe;
  if (Named(setting, "console")) return UiKind::Console;
  if (Named(setting, "qt")) return environment.qtAvailable ? UiKind::Qt : UiKind::Console;
  if (environment.qtAvailable && environment.displayAvailable) return UiKind::Qt;
  return environment.stdinIsTerminal ? UiKind::Console : UiKind::None;
}

UiEnvironment CurrentUiEnvironment(const platform::Settings& settings) {
  UiEnvironment environment;
  environment.setting = settings.uiSetting.c_str();
  std::error_code ec;
  environment.qtAvailable = std::filesystem::exists(QtPluginPath(), ec);
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

  const UiEnvironment environment = CurrentUiEnvironment(settings);
  UiKind kind = ChooseUiKind(environment);
  if (kind != UiKind::Qt && AskedForQt(environment))
    NoteFallback("the Qt interface plugin " + QtPluginPath() + " is missing", kind);
  if (kind == UiKind::Qt && (m_kind != UiKind::Qt || m_ui == nullptr)) {
    if (!environment.displayAvailable) {
      kind = FallbackKind(environment);
      NoteFallback("no display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM) is set", kind);
    } else if (std::unique_ptr<OperatorUi> qt = LoadQt()) {
      process.SetOperatorUi(qt.get());
      m_ui = std::move(qt);
      m_kind = kind;
      m_installedIn = &process;
      return kind;
    } else {
      kind = FallbackKind(environment);
      NoteFallback(m_qtError, kind);
    }
  }
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
  else if (kind == UiKind::Pipe)
    ui = std::make_unique<PipeUi>(m_answers, PipeUiDescriptor(settings.uiSetting));
  else {
    auto console = std::make_unique<ConsoleUi>(m_answers, stdin, stderr);
    console->SetEditorScript(settings.editorScript);
    m_editorScriptText = settings.editorScript;
    ui = std::move(console);
  }
  process.SetOperatorUi(ui.get());
  m_ui = std::move(ui);  // the old interface goes only after the new one is in place
  m_kind = kind;
  return kind;
}

UiKind UiSelection::FallbackKind(const UiEnvironment& environment) {
  // Asked for by name, the Qt interface is replaced by the console, as a
  // setting of qt always gave before the plugin existed.
  if (AskedForQt(environment)) return UiKind::Console;
  return environment.stdinIsTerminal ? UiKind::Console : UiKind::None;
}

void UiSelection::NoteFallback(const std::string& reason, UiKind kind) {
  if (m_fallbackNoted) return;  // once per process, not once per operation
  m_fallbackNoted = true;
  std::fprintf(stderr, "zkdownload: Qt interface unavailable (%s); using the %s interface\n", reason.c_str(),
               kind == UiKind::Console ? "console" : "none");
}

std::unique_ptr<OperatorUi> UiSelection::LoadQt() {
  if (!m_qtError.empty()) return nullptr;  // a plugin that failed once is not tried again
  QtPluginHost host;
  AnswerQueue* answers = &m_answers;
  host.messageAnswer = [answers](MessageButtons buttons) -> std::optional<MessageAnswer> {
    if (const auto answer = answers->Next()) return AnswerForMessage(*answer, buttons);
    return std::nullopt;
  };
  host.errorDialogAnswer = [answers]() -> std::optional<DialogAnswer> {
    if (const auto answer = answers->Next()) return AnswerForErrorDialog(*answer);
    return std::nullopt;
  };
  host.endDialogAnswer = [answers]() -> std::optional<DialogAnswer> {
    if (const auto answer = answers->Next()) return AnswerForEndDialog(*answer);
    return std::nullopt;
  };
  host.fileAnswer = [answers]() -> std::optional<std::optional<std::string>> {
    if (const auto answer = answers->Next()) return AnswerForFileDialog(*answer);
    return std::nullopt;
  };
  QtPluginLoad load = LoadQtPlugin(QtPluginPath(), host);
  if (load.ui == nullptr) m_qtError = load.error.empty() ? "the plugin did not start" : load.error;
  return std::move(load.ui);
}

}  // namespace zk::ui
