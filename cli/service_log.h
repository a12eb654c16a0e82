// The service log: one JSON line per operation the command ran, appended to
// $ZKDOWNLOAD_HOME/service-log.jsonl, so that a day's work on a service
// bench can be read back, counted and traced to a handset.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zk::cli {

struct ServiceRecord {
  std::string time;             // local time with its offset, "2026-12-08T08:30:01+0000"
  std::string operation;        // the sub-command, "prl-write"
  std::string port;             // "COM5"
  std::string device;           // "/dev/ttyUSB0"
  std::string arguments;        // the sub-command's arguments as given
  std::string esn;              // eight hex digits, empty where it was not read
  std::string softwareVersion;  // empty where it was not read (after the operation, for one that changes it)
  // Operations that change the handset's software and run in stages (the
  // binary download) also record these; the others leave them empty.
  std::string softwareVersionBefore;  // the version the handset reported before
  int kind = -1;                      // the operation kind passed, -1 for none
  // The stages entered, in order: "NAME=MS;NAME=MS", each with the
  // milliseconds it lasted.
  std::string stages;
  int result = 0;               // 1 or the failure code
  std::string resultText;       // "done" or the failure line
  double seconds = 0;           // how long the operation took
};

std::filesystem::path ServiceLogPath();

// One line of JSON (no line end) and back; a line that is no record gives
// false.
std::string ToJsonLine(const ServiceRecord& record);
bool FromJsonLine(const std::string& line, ServiceRecord& record);

struct StageTime {
  std::string name;
  long ms = 0;
};
// The stages of a record's "NAME=MS;NAME=MS" text.
std::vector<StageTime> SplitStages(const std::string& stages);

// The record as one indented JSON object for a report file, its stages as
// an array of {"name", "seconds"} objects.
std::string ToReportJson(const ServiceRecord& record);

// Appends the record as one line with one write under an exclusive lock, so
// that several processes (one per port) can log at once. False with the
// reason when the log cannot be written.
bool AppendServiceRecord(const ServiceRecord& record, std::string& why);

// The records of the log in order; lines that are no record are skipped.
std::vector<ServiceRecord> ReadServiceLog(const std::filesystem::path& file);

// The current local time as a record stamps it.
std::string ServiceTimeNow();

}  // namespace zk::cli
