// What the command keeps of each operation it runs: the exit status and
// failure report, and the line in the service log.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "port_option.h"

namespace zk::cli {

// The command line as given, for the service log.
void SetCommandLine(int argc, char** argv);

// Started just before an operation export is called.
class OperationRecord {
 public:
  OperationRecord(std::string operation, const ResolvedPort& port);

  // When the operation read the handset's ESN itself.
  void SetEsn(unsigned esn);
  // For operations that change the software in stages (binary download,
  // upgrade, refurbish): takes the kind passed and what the library saw of
  // the last run (the version before, the stages with their durations), and
  // prints the stages to stderr. Call it after the export returned.
  void TakeOperationRun(int kind);
  // Also writes the record as a JSON report to `path` (replaced in one step).
  void SetReportPath(std::string path) { m_reportPath = std::move(path); }
  // The software version the handset reported before the operation.
  const std::string& SoftwareVersionBefore() const { return m_softwareVersionBefore; }

  // Turns the export's result into the exit status (printing the failure, as
  // OperationExitStatus does) and appends the service log line. A log that
  // cannot be written is reported but does not change the status.
  // Also takes the handset's ESN and software version from what the
  // library saw during the operation, where the command did not set them.
  int Finish(int exportResult);

  // " (ESN 9F3A2C41)" for a success line once the ESN is known, else empty.
  std::string EsnSuffix() const;

 private:
  std::string m_operation;
  ResolvedPort m_port;
  std::string m_esn;
  std::string m_softwareVersion;
  std::string m_softwareVersionBefore;
  int m_kind = -1;
  std::string m_stages;
  std::string m_reportPath;
  void TakeHandsetSeen();
  void PrintErrorLoginFile() const;

  std::chrono::steady_clock::time_point m_start;
  std::filesystem::file_time_type m_startFileTime;  // a little early: file times are coarse
};

}  // namespace zk::cli
