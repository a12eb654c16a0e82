// How an operation export starts and ends: silent mode, the port, and the
// four ways a flow's result becomes the export's result.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "zkdownload/zkdownload.h"

namespace zk::boundary {

// Flows that have not been built yet return this code: the error tables
// know neither its location nor its cause, so it never reads as success.
inline constexpr int kOperationNotAvailable = ZK_RESULT_NOT_AVAILABLE;
inline constexpr int kBusy = ZK_RESULT_BUSY;

// One operation export from its start to its return. Starting it reads the
// settings from the environment, installs the configured operator interface
// and sets silent mode for the call (on for the data backup and unattended
// exports). Only one operation export runs at a time in a process: one
// entered while another runs (from another thread, or from the operator
// interface's event handling) is refused and touches nothing.
class [[nodiscard]] OperationExport {
 public:
  explicit OperationExport(bool silent);
  ~OperationExport();
  OperationExport(const OperationExport&) = delete;
  OperationExport& operator=(const OperationExport&) = delete;

  bool Refused() const { return !m_entered; }

 private:
  bool m_entered = false;
};

// Reads the settings and installs the operator interface for an export that
// is not an operation (the phone-book notice, the port list). While an
// operation export runs, the settings and the interface stay as they are:
// the running operation reads them.
void BeginPlainExport();

// The port index a serial export's mask selects: the lowest set bit of bits
// 0..15; no bit set selects COM1.
int16_t PortIndexFromMask(int16_t mask);

// A text argument as the export's own copy (null reads as empty).
inline std::string OwnText(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

// Copies `text` into a host's buffer of `size` bytes, cut to fit, always
// terminated; nothing for a null buffer or a size below 1.
inline void CopyOut(std::string_view text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return;
  const auto count = std::min(text.size(), static_cast<std::size_t>(size - 1));
  if (count > 0) std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

// Reporting form: the result cell in pass-parameter mode, else the error
// dialog on failure. 1 on success, else 0.
int ReportingResult(int flowResult);

// Plain form: on success 1 (and 1 in the result cell in pass-parameter mode
// unless `touchResultCell` is false); on failure 0 with nothing shown and the
// cell untouched.
int PlainResult(int flowResult, bool touchResultCell = true);

// Silent code form: 1 when the flow returned 1, else 0.
int SilentCodeResult(int flowResult);

// The flow result of the last operation export (1 or a failure code), kept
// for hosts that ask after a 0.
int LastFlowResult();

}  // namespace zk::boundary
