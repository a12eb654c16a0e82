// `zkdownload script`: runs a script file against the handset. The script is
// checked first, as script-check checks it; a script with a failing line is
// refused before the port is opened.
#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "global_options.h"
#include "input_checks.h"
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
  std::string prl;
  int nam = 0;
  std::string eri;
};

int RunScript(const ScriptOptions& options) {
  const std::string script = AbsolutePath(options.script);
  if (const int refused = RefuseFailingScript(script, kOperationKind); refused != 0) return refused;
  const std::string prl = AbsolutePath(options.prl), eri = AbsolutePath(options.eri);
  if (!prl.empty())
    if (const std::string why = WhyNotReadable(prl, "PRL file"); !why.empty()) return RefuseInput(why, "");
  if (!eri.empty())
    if (const std::string why = WhyNotReadable(eri, "ERI file"); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("script", *port);
  const short portIndex = static_cast<short>(port->index);
  // With a PRL or an ERI file the full download runs (it also writes the
  // brew_script directory); otherwise the script alone.
  const bool full = !prl.empty() || !eri.empty();
  const int status = record.Finish(
      full ? SCRDownloadUSB_Interface(kOperationKind, 0, options.spc.c_str(), script.c_str(), prl.c_str(),
                                      options.nam, portIndex, eri.c_str(), kLinkParam1, kLinkParam2, kLinkParam3)
           : ScriptDownUSB_UPST_Interface(kOperationKind, options.spc.c_str(), script.c_str(), portIndex,
                                          kLinkParam1, kLinkParam2, kLinkParam3));
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
  command->add_option("--prl", options->prl, "also write this PRL file (full download)");
  command->add_option("--nam", options->nam, "NAM selector of the PRL: 0 first, 1 second, 2 both")
      ->check(CLI::Range(0, 2))
      ->default_val(0);
  command->add_option("--eri", options->eri, "also write this ERI file (full download)");
  command->footer(std::string("The script is checked first (as script-check does); a failing line refuses the run "
                              "before the port is opened. Success means every line ran and the handset took every "
                              "NV write; a warning (an NV item refused or unanswered) fails with 506050. With --prl or --eri the "
                              "full download runs: unlock, calibration check, PRL, ERI, the brew_script directory "
                              "beside the script (required), the script, then 30 s until the handset is proven "
                              "restarted.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunScript(*options)); });
}

}  // namespace zk::cli
