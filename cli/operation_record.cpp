#include "operation_record.h"

#include <cstdio>

#include "failure_report.h"
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
    : m_operation(std::move(operation)), m_port(port), m_start(std::chrono::steady_clock::now()) {}

void OperationRecord::SetEsn(unsigned esn) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", esn);
  m_esn = text;
}

int OperationRecord::Finish(int exportResult) {
  const int status = OperationExitStatus(exportResult);
  ServiceRecord record;
  record.time = ServiceTimeNow();
  record.operation = m_operation;
  record.port = m_port.name;
  record.device = m_port.device;
  record.arguments = g_commandLine;
  record.esn = m_esn;
  record.result = exportResult == 1 ? 1 : GetLastResult_Interface();
  record.resultText = exportResult == 1 ? "done" : FailureLine(record.result);
  record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  std::string why;
  if (!AppendServiceRecord(record, why)) std::fprintf(stderr, "zkdownload: service log not written: %s\n", why.c_str());
  return status;
}

}  // namespace zk::cli
