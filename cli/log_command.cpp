#include "log_command.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "command_result.h"
#include "log_summary.h"
#include "operation_options.h"
#include "service_log.h"

namespace zk::cli {
namespace {

struct LogOptions {
  bool json = false;
  bool summary = false;
  std::string since;
};

int PrintSummary(const std::vector<ServiceRecord>& records, const std::string& since) {
  const auto rows = SummariseRecords(records);
  std::printf("%s: %zu operations\n", since.empty() ? "all days" : ("since " + since).c_str(), records.size());
  if (rows.empty()) return 0;
  std::printf("%-14s %-16s %8s %12s\n", "operation", "result", "handsets", "average (s)");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[i];
    std::printf("%-14s %-16s %8d %12.1f\n", row.operation.c_str(), row.result.c_str(), row.handsets,
                row.seconds / row.handsets);
    // A total under each operation that ended more than one way.
    const bool lastOfOperation = i + 1 == rows.size() || rows[i + 1].operation != row.operation;
    if (!lastOfOperation) continue;
    int handsets = 0, done = 0;
    for (const auto& other : rows)
      if (other.operation == row.operation) {
        handsets += other.handsets;
        if (other.result == "done") done += other.handsets;
      }
    if (handsets != row.handsets)
      std::printf("%-14s %-16s %8d   (%d done, %d failed)\n", row.operation.c_str(), "total", handsets, done,
                  handsets - done);
  }
  return 0;
}

int PrintRecords(const std::vector<ServiceRecord>& records, const std::filesystem::path& file);

int RunLog(const LogOptions& options) {
  const auto file = ServiceLogPath();
  std::string since;
  if (!options.since.empty()) {
    const auto day = SinceDay(options.since, std::time(nullptr));
    if (!day) {
      std::fprintf(stderr, "zkdownload: --since takes TODAY, YESTERDAY or a date YYYY-MM-DD, not '%s'\n",
                   options.since.c_str());
      return kUsageStatus;
    }
    since = *day;
  }
  if (options.summary || !since.empty()) {
    auto records = ReadServiceLog(file);
    if (!since.empty()) records = RecordsSince(records, since);
    if (options.summary) return PrintSummary(records, since);
    return PrintRecords(records, file);
  }
  if (options.json) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) std::printf("%s\n", line.c_str());
    return 0;
  }
  return PrintRecords(ReadServiceLog(file), file);
}

int PrintRecords(const std::vector<ServiceRecord>& records, const std::filesystem::path& file) {
  if (records.empty()) {
    std::printf("no operations logged yet (%s)\n", file.c_str());
    return 0;
  }
  std::printf("%-24s %-6s %-10s %-8s %-8s %7s  %s\n", "time", "port", "operation", "ESN", "version", "seconds",
              "result");
  for (const auto& r : records)
    std::printf("%-24s %-6s %-10s %-8s %-8s %7.1f  %s\n", r.time.c_str(), r.port.c_str(), r.operation.c_str(),
                r.esn.empty() ? "-" : r.esn.c_str(), r.softwareVersion.empty() ? "-" : r.softwareVersion.c_str(),
                r.seconds, r.resultText.c_str());
  return 0;
}

}  // namespace

void AddLogCommand(CLI::App& app) {
  auto options = std::make_shared<LogOptions>();
  auto* command = app.add_subcommand("log", "Show the service log: one line per operation this command ran");
  command->add_flag("--json", options->json, "print the log's JSON lines as they are stored");
  command->add_option("--since", options->since, "only operations from this day on: TODAY, YESTERDAY or YYYY-MM-DD");
  command->add_flag("--summary", options->summary, "totals per operation and result instead of one line each");
  command->callback([options] { SetCommandResult(RunLog(*options)); });
}

}  // namespace zk::cli
