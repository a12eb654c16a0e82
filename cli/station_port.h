// What the service station knows of one port: what its worker's windows
// show now, and the handsets served so far. Filled from the worker's event
// lines (the `pipe` operator interface), never from its printed text.
#pragma once

#include <string>
#include <vector>

namespace zk::cli {

struct StationPort {
  std::string name;     // "COM3"
  std::string stage;    // the stage in progress ("DXX05"), empty before the first
  std::string status;   // the progress window's status line
  std::string detail;   // its file line
  std::string percent;  // "37%", empty without a bar
  std::string elapsed;  // "00:12.3 Sec"
  int failureCode = 0;  // the error dialog's code for the handset in progress
  std::string failureText;  // its contents line ("Can't Change DM mode.")
  std::string lastResult;  // "done", "failed 702047", "worker died (signal 9)"
  int served = 0;          // handsets finished, well or not
  int failed = 0;
  bool busy = false;  // a worker is serving a handset
};

// Applies one event (its fields as decoded); unknown events change nothing.
// Returns true when something a log line reports changed (the stage, the
// status line or the end of a handset).
bool ApplyEvent(StationPort& port, const std::vector<std::string>& fields);

// Starts the next handset: clears what the last one showed, keeps the counts.
void BeginHandset(StationPort& port);

// Ends the handset in progress with `result` ("done" or a failure).
void EndHandset(StationPort& port, bool succeeded, const std::string& result);

// The result text of a worker that exited with `status` (its exit status,
// or -signal when a signal ended it): "done", "failed 702047" with the code
// its error dialog named, "failed (exit 1)", "worker died (signal 9)".
std::string WorkerResultText(const StationPort& port, int status);

}  // namespace zk::cli
