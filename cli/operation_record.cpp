#include "operation_record.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "failure_report.h"
#include "library_files.h"
#include "platform/atomic_file.h"
#include "service_log.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {
std::string g_commandLine;

}  // namespace

void SetCommandLine(int argc, char** argv) {
  g_commandLine.clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) g_commandLine += ' ';
    g_commandLine += argv[i];
  }
}

OperationRecord::OperationRecord(std::string operation, const ResolvedPort& port)
    : m_operation(std::move(operation)),
      m_port(port),
      m_start(std::chrono::steady_clock::now()),
      m_startFileTime(std::filesystem::file_time_type::clock::now() - std::chrono::seconds(1)) {}

void OperationRecord::SetEsn(unsigned esn) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", esn);
  m_esn = text;
}

void OperationRecord::TakeOperationRun(int kind) {
  m_kind = kind;
  char before[16] = {};
  std::vector<char> stages(4096);
  GetOperationRun_Interface(before, sizeof(before), stages.data(), static_cast<int>(stages.size()));
  m_softwareVersionBefore = before;
  m_stages = stages.data();
  std::string shown;
  for (const StageTime& stage : SplitStages(m_stages)) {
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), " %.1f s", static_cast<double>(stage.ms) / 1000.0);
    shown += (shown.empty() ? "" : " > ") + stage.name + seconds;
  }
  std::fprintf(stderr, "stages: %s\n", shown.empty() ? "none" : shown.c_str());
}

void OperationRecord::TakeHandsetSeen() {
  unsigned int esn = 0;
  char version[32] = {};
  const bool esnRead = GetHandsetSeen_Interface(&esn, version, sizeof(version)) == 1;
  if (m_esn.empty() && esnRead) SetEsn(esn);
  if (m_softwareVersion.empty()) m_softwareVersion = version;
}

std::string OperationRecord::EsnSuffix() const { return m_esn.empty() ? std::string() : " (ESN " + m_esn + ")"; }

int OperationRecord::Finish(int exportResult) {
  TakeHandsetSeen();
  const int status = OperationExitStatus(exportResult);
  ServiceRecord record;
  record.time = ServiceTimeNow();
  record.operation = m_operation;
  record.port = m_port.name;
  record.device = m_port.device;
  record.arguments = g_commandLine;
  record.esn = m_esn;
  record.softwareVersion = m_softwareVersion;
  record.softwareVersionBefore = m_softwareVersionBefore;
  record.kind = m_kind;
  record.stages = m_stages;
  record.result = exportResult == 1 ? 1 : GetLastResult_Interface();
  record.resultText = exportResult == 1 ? "done" : FailureLine(record.result);
  record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  std::string why;
  if (!AppendServiceRecord(record, why)) std::fprintf(stderr, "zkdownload: service log not written: %s\n", why.c_str());
  if (status != 0) PrintErrorLoginFile();
  if (!m_reportPath.empty()) {
    std::error_code error;
    if (!platform::WriteFileAtomically(m_reportPath, ToReportJson(record), error)) {
      std::fprintf(stderr, "zkdownload: report %s not written (%s)%s\n", m_reportPath.c_str(),
                   error.message().c_str(), status == 0 ? "; the handset operation itself succeeded" : "");
      return status == 0 ? 1 : status;
    }
    std::fprintf(stderr, "report: %s\n", m_reportPath.c_str());
  }
  return status;
}

void OperationRecord::PrintErrorLoginFile() const {
  // Only a file this run wrote: an older one would describe another failure.
  namespace fs = std::filesystem;
  const fs::path file = ErrorLoginFile(m_port.index);
  std::error_code error;
  const auto written = fs::last_write_time(file, error);
  if (error || written < m_startFileTime) return;
  std::fprintf(stderr, "zkdownload: error login file: %s\n", file.c_str());
}

}  // namespace zk::cli
