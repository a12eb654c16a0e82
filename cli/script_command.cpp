// `zkdownload script`: runs a script file against the handset. The script is
// checked first, as script-check checks it; a script with a failing line is
// refused before the port is opened.
#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "global_options.h"
#include "operation_options.h"
#include "operation_record.h"
#include "script_check_command.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct ScriptOptions {
  std::string port;
  std::string spc;
  std::string script;
};

int RunScript(const ScriptOptions& options) {
  const std::string script = AbsolutePath(options.script);
  if (const int refused = RefuseFailingScript(script, kOperationKind); refused != 0) return refused;
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("script", *port);
  const int status = record.Finish(ScriptDownUSB_UPST_Interface(
      kOperationKind, options.spc.c_str(), script.c_str(), static_cast<short>(port->index), kLinkParam1,
      kLinkParam2, kLinkParam3));
  if (status == 0)
    std::printf("script %s ran on %s without a warning%s\n", script.c_str(), port->name.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

}  // namespace

void AddScriptCommand(CLI::App& app) {
  auto options = std::make_shared<ScriptOptions>();
  auto* command = app.add_subcommand("script", "Run a script file (NV writes, SPC, MODE, EFS copies, WAIT) on the handset");
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  command->add_option("SCRIPT", options->script, "the script file (its efs_scr folder stands beside it)")->required();
  command->footer(std::string("The script is checked first (as script-check does); a failing line refuses the run "
                              "before the port is opened. Success means every line ran and the handset took every "
                              "NV write; a warning (an NV item refused or unanswered) fails with 506050.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunScript(*options)); });
}

}  // namespace zk::cli
