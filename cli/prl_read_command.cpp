#include "prl_read_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "command_result.h"
#include "failure_report.h"
#include "input_checks.h"
#include "global_options.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct PrlReadOptions {
  std::string port;
  std::string spc;
  int nam = 0;
  std::string file;
};

int RunPrlRead(const PrlReadOptions& options) {
  const std::string file = AbsolutePath(options.file);
  if (const std::string why = WhyNotWritable(file); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("prl-read", *port);
  const int result = PRLReadUSB_Interface(kOperationKind, "", options.spc.c_str(), file.c_str(), options.nam,
                                          static_cast<short>(port->index), kLinkParam1, kLinkParam2, kLinkParam3);
  const int status = record.Finish(result);
  if (status == 0) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    std::printf("PRL of NAM %d read from %s into %s (%llu bytes)%s\n", options.nam, port->name.c_str(), file.c_str(),
                ec ? 0ULL : static_cast<unsigned long long>(size), record.EsnSuffix().c_str());
  }
  return status;
}

}  // namespace

void AddPrlReadCommand(CLI::App& app) {
  auto options = std::make_shared<PrlReadOptions>();
  auto* command = app.add_subcommand("prl-read", "Read the preferred roaming list of one NAM into a file");
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  command->add_option("--nam", options->nam, "NAM to read: 0 (first) or 1 (second)")
      ->check(CLI::Range(0, 1))
      ->capture_default_str();
  command->add_option("FILE", options->file, "file to write the PRL into (replaced if it exists)")->required();
  command->footer(std::string("Waits: the switch into diagnostic mode (seconds), then the read; the file is replaced "
                              "only when the read succeeds.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunPrlRead(*options)); });
}

}  // namespace zk::cli
