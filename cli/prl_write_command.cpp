#include "prl_write_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "failure_report.h"
#include "input_checks.h"
#include "global_options.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

constexpr int kBothNams = 2;

struct PrlWriteOptions {
  std::string port;
  std::string spc;
  int nam = 0;
  std::string file;
  bool force = false;
};

const char* NamText(int nam) {
  switch (nam) {
    case 0: return "NAM 0";
    case 1: return "NAM 1";
    default: return "NAM 0 and NAM 1";
  }
}

int RunPrlWrite(const PrlWriteOptions& options) {
  const std::string file = AbsolutePath(options.file);
  std::string why = WhyNotReadable(file, "PRL file");
  const bool content = why.empty() || why.ends_with(" is empty");
  if (why.empty()) why = WhyNotPrl(file);
  if (options.force && content) why.clear();  // --force overrides what the file holds, not whether it is there
  if (!why.empty()) return RefuseInput(why, content ? "--force sends it all the same" : "");
  if (const std::string warning = PrlCheckWarning(file); !warning.empty())
    std::fprintf(stderr, "zkdownload: warning: %s\n", warning.c_str());
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("prl-write", *port);
  const int result = PRLWriteUSB_Interface(kOperationKind, "", options.spc.c_str(), file.c_str(), options.nam,
                                           static_cast<short>(port->index), kLinkParam1, kLinkParam2, kLinkParam3);
  const int status = record.Finish(result);
  if (status == 0)
    std::printf("PRL %s written to %s of %s%s\n", file.c_str(), NamText(options.nam), port->name.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

}  // namespace

void AddPrlWriteCommand(CLI::App& app) {
  auto options = std::make_shared<PrlWriteOptions>();
  auto* command = app.add_subcommand(
      "prl-write", "Write a PRL file into one NAM or both, then restart the handset");
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  command->add_option("--nam", options->nam, "0: first NAM, 1: second NAM, 2: both from the same file")
      ->check(CLI::Range(0, kBothNams))
      ->capture_default_str();
  command->add_option("FILE", options->file, "the PRL as the handset stores it (a plain byte image)")->required();
  command->add_flag("--force", options->force, "send a PRL whose size field disagrees with the file");
  command->footer(std::string("Waits: the switch into diagnostic mode (seconds), 2 s before the transfer, 20 s for the "
                              "handset to restart, then the end dialog: OK serves the next handset on the same port, "
                              "END stops (--answers END stops without asking).\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunPrlWrite(*options)); });
}

}  // namespace zk::cli
