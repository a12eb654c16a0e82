// The library's own state, in one place: what a host registered, the
// settings read from the environment, and the state of the running
// operation. Every piece has one owner that writes it (named beside it); any
// layer may read it, which is why it lives at the bottom of the library.
// The global objects with behaviour (the link, the operations, the progress
// window) are built in their fixed order in boundary/globals.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/pass_para_state.h"

namespace zk::platform {

// The environment as one value, read when the library loads and again at the
// start of every exported call, never deep inside the layers.
struct Settings {
  std::filesystem::path home;  // ZKDOWNLOAD_HOME, else ~/.zkdownload
  double timeScale = 1.0;      // ZKDOWNLOAD_TIME_SCALE: positive and finite, else 1
  std::string tracePath;       // ZKDOWNLOAD_TRACE: file of the wire trace, empty for none
  std::string uiSetting;       // ZKDOWNLOAD_UI: qt, console or none; empty lets the library choose
  std::string answers;         // ZKDOWNLOAD_ANSWERS: scripted operator answers
  std::string editorScript;    // ZKDOWNLOAD_EDITOR_SCRIPT: NV editor commands, one a line
  bool displayAvailable = false;  // DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set

  static Settings FromEnvironment();
};

// An int that other threads may read while its owner writes it; copies
// like a plain int so that the state it sits in can be reset as a whole.
class SharedInt {
 public:
  SharedInt(int value = 0) : value_(value) {}  // NOLINT: converts like the int it stands for
  SharedInt(const SharedInt& other) : value_(other.load()) {}
  SharedInt& operator=(const SharedInt& other) {
    value_.store(other.load());
    return *this;
  }
  SharedInt& operator=(int value) {
    value_.store(value);
    return *this;
  }
  operator int() const { return load(); }  // NOLINT
  int load() const { return value_.load(); }

 private:
  std::atomic<int> value_;
};

// What the running operation has decided so far. Owners in brackets.
struct RunState {
  int16_t operationKind = 0;  // kind of the running operation (operations)
  uint8_t repeatFlag = 0;     // OK in the end dialog: serve the next handset (operations)
  int handsetUsbPort = 0;     // the port is the handset's USB modem port (operations)
  bool silent = false;        // no progress window, error or end dialog (boundary, per export)
  // 1 or the failure code of the last operation export (boundary); read by
  // hosts from any thread while an operation runs.
  SharedInt lastFlowResult = 0;
  bool nvEditorOption = false;  // byte 65 of the settings file, read at load (operations)
  // Why the last operation failed where a failure code alone cannot say it,
  // e.g. which request the handset left unanswered and after how many tries;
  // empty when nothing was noted (the failing step; cleared by the boundary
  // when an operation export starts).
  std::string failureNote;
};

// The settings in force; loaded from the environment on first use.
const Settings& CurrentSettings();
// Reads the environment again (boundary: each exported call; tests after
// changing a variable). Returns the new settings.
const Settings& RefreshSettings();
// Overrides the time scale until the next refresh (benchmarks, tests).
void SetSettingsTimeScale(double factor);
// The time scale in force, safe to read from any thread.
double CurrentTimeScale();

// True while an exported operation runs in this process: a second one is
// refused instead of sharing the link, the progress window and the buffers.
// Set and cleared by the boundary only.
bool TryBeginOperation();
void EndOperation();
bool OperationRunning();

}  // namespace zk::platform

// The library's state objects (defined in platform/library_state.cpp).
extern zk::platform::PassParaState g_passPara;
extern zk::platform::RunState g_runState;

namespace zk::platform {

// The library's own file path, or the path a host registered instead; its
// directory holds the error login files and BOOT_LOADER.bin. Never null.
inline const char* LibraryPathBuffer() { return g_passPara.m_libraryPath; }

}  // namespace zk::platform
