#include "log_command.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "command_result.h"
#include "service_log.h"

namespace zk::cli {
namespace {

struct LogOptions {
  bool json = false;
};

int RunLog(const LogOptions& options) {
  const auto file = ServiceLogPath();
  if (options.json) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) std::printf("%s\n", line.c_str());
    return 0;
  }
  const auto records = ReadServiceLog(file);
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
  command->callback([options] { SetCommandResult(RunLog(*options)); });
}

}  // namespace zk::cli
