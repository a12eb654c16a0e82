#include "ui/qt_plugin_loader.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/library_path.h"

namespace zk::ui {
namespace {

// The plugin's interface lives until the process ends; the library holds it
// through this forwarder, which it owns and may drop at any time.
class BorrowedUi final : public OperatorUi {
 public:
  explicit BorrowedUi(OperatorUi& ui) : m_ui(ui) {}

  void OpenProgress(const ProgressWindowView& view) override { m_ui.OpenProgress(view); }
  void CloseProgress() override { m_ui.CloseProgress(); }
  void SetProgressText(ProgressControl control, const std::string& text) override {
    m_ui.SetProgressText(control, text);
  }
  void EnterStage(const std::string& name) override { m_ui.EnterStage(name); }
  void SetProgressBar(int low, int high, int position, const std::string& percent) override {
    m_ui.SetProgressBar(low, high, position, percent);
  }
  void SetAddressMode(bool on) override { m_ui.SetAddressMode(on); }
  MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override {
    return m_ui.ShowMessage(text, buttons);
  }
  DialogAnswer ShowErrorDialog(const ErrorDialogView& view) override { return m_ui.ShowErrorDialog(view); }
  DialogAnswer ShowEndDialog(const EndDialogView& view) override { return m_ui.ShowEndDialog(view); }
  std::optional<std::string> AskSaveFile(const std::string& title, const std::string& suggestion) override {
    return m_ui.AskSaveFile(title, suggestion);
  }
  std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter) override {
    return m_ui.AskOpenFile(title, filter);
  }
  NvEditorEnd RunNvEditor(NvEditorModel& model) override { return m_ui.RunNvEditor(model); }
  bool Beep(int frequencyHz, int durationMs) override { return m_ui.Beep(frequencyHz, durationMs); }
  bool FollowsSilentOperations() const override { return m_ui.FollowsSilentOperations(); }
  void ProcessPendingEvents(int maxEvents) override { m_ui.ProcessPendingEvents(maxEvents); }

 private:
  OperatorUi& m_ui;
};

QtPluginLoad Refused(std::string reason) {
  QtPluginLoad load;
  load.error = std::move(reason);
  return load;
}

}  // namespace

std::string QtPluginPath() {
  const std::filesystem::path library = platform::LibraryPath();
  return (library.parent_path() / kQtPluginFileName).string();
}

QtPluginLoad LoadQtPlugin(const std::string& path, const QtPluginHost& host, int expectedVersion) {
  // Qt's own libraries stay out of the global namespace of the host.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    return Refused("cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason"));
  }
  const auto version = reinterpret_cast<QtPluginVersionFunction>(dlsym(handle, kQtPluginVersionSymbol));
  const auto create = reinterpret_cast<QtPluginCreateFunction>(dlsym(handle, kQtPluginCreateSymbol));
  if (version == nullptr || create == nullptr) return Refused(path + " is not a zkdownload Qt plugin");
  const int pluginVersion = version();
  if (pluginVersion != expectedVersion)
    return Refused(path + " has interface version " + std::to_string(pluginVersion) + ", this library needs " +
                   std::to_string(expectedVersion) + ": install the plugin built with this library");

  std::string error;
  OperatorUi* ui = create(expectedVersion, &host, &error);
  if (ui == nullptr) return Refused(path + ": " + (error.empty() ? "the Qt interface did not start" : error));
  QtPluginLoad load;
  load.ui = std::make_unique<BorrowedUi>(*ui);
  return load;
}

}  // namespace zk::ui
