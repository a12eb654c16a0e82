// Every piece of library-wide state is defined here, in one unit.
#include "platform/library_state.h"

#include <cmath>
#include <cstdlib>

// Built before every other global object of the library (the priority puts
// them ahead of all objects of default priority, whatever the order of the
// units), so that the load step in boundary/globals.cpp and the upgrade
// object's constructor find them ready.
__attribute__((init_priority(101))) zk::platform::PassParaState g_passPara;
__attribute__((init_priority(101))) zk::platform::RunState g_runState;

namespace zk::platform {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

double ParseScale(const std::string& text) {
  if (text.empty()) return 1.0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(value) || value <= 0.0) return 1.0;
  return value;
}

std::filesystem::path HomeFromEnvironment() {
  if (const std::string home = Variable("ZKDOWNLOAD_HOME"); !home.empty()) return home;
  if (const std::string user = Variable("HOME"); !user.empty()) return std::filesystem::path(user) / ".zkdownload";
  return ".zkdownload";
}

// Built on first use, so a global object that reads the settings while the
// library loads finds them whatever the order of the units.
Settings& SettingsCell() {
  static Settings settings = Settings::FromEnvironment();
  return settings;
}

std::atomic<bool> g_operationRunning{false};
// Read by every wait, from any thread (the simulated handset's too).
std::atomic<double> g_timeScale{0.0};

}  // namespace

Settings Settings::FromEnvironment() {
  Settings settings;
  settings.home = HomeFromEnvironment();
  settings.timeScale = ParseScale(Variable("ZKDOWNLOAD_TIME_SCALE"));
  settings.tracePath = Variable("ZKDOWNLOAD_TRACE");
  settings.uiSetting = Variable("ZKDOWNLOAD_UI");
  settings.answers = Variable("ZKDOWNLOAD_ANSWERS");
  settings.editorScript = Variable("ZKDOWNLOAD_EDITOR_SCRIPT");
  // A Qt platform named outright (offscreen, for one) serves as a display.
  settings.displayAvailable = !Variable("DISPLAY").empty() || !Variable("WAYLAND_DISPLAY").empty() ||
                              !Variable("QT_QPA_PLATFORM").empty();
  return settings;
}

const Settings& CurrentSettings() { return SettingsCell(); }

const Settings& RefreshSettings() {
  Settings& settings = SettingsCell() = Settings::FromEnvironment();
  g_timeScale.store(settings.timeScale, std::memory_order_relaxed);
  return settings;
}

double CurrentTimeScale() {
  const double scale = g_timeScale.load(std::memory_order_relaxed);
  return scale > 0.0 ? scale : SettingsCell().timeScale;
}

void SetSettingsTimeScale(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) return;
  SettingsCell().timeScale = factor;
  g_timeScale.store(factor, std::memory_order_relaxed);
}

bool TryBeginOperation() {
  bool expected = false;
  return g_operationRunning.compare_exchange_strong(expected, true);
}

void EndOperation() { g_operationRunning.store(false); }

bool OperationRunning() { return g_operationRunning.load(); }

}  // namespace zk::platform
