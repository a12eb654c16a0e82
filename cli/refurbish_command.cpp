#include "refurbish_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "command_result.h"
#include "global_options.h"
#include "input_checks.h"
#include "operation_options.h"
#include "operation_record.h"
#include "script_check_command.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct RefurbishOptions {
  std::string port;
  std::string script;
  std::string spc;
  int kind = kOperationKind;
  std::string report;
};

int RunRefurbish(const RefurbishOptions& options) {
  const std::string script = AbsolutePath(options.script);
  if (const int refused = RefuseFailingScript(script, options.kind); refused != 0) return refused;
  const std::filesystem::path brew = std::filesystem::path(script).parent_path() / "brew_script";
  std::error_code error;
  if (!std::filesystem::is_directory(brew, error))
    return RefuseInput("no brew_script directory beside the script (" + brew.string() + ")",
                       "the refurbish writes it back after erasing the handset's file system");
  const std::string report = AbsolutePath(options.report);
  if (const int refused = RefuseUnwritableReport(report); refused != 0) return refused;
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;

  OperationRecord record("refurbish", *port);
  record.SetReportPath(report);
  const int result = RefurbishUSB_Interface(static_cast<short>(options.kind), 0, options.spc.c_str(), script.c_str(),
                                            static_cast<short>(port->index), kLinkParam1, kLinkParam2, kLinkParam3);
  record.TakeOperationRun(options.kind);
  const int status = record.Finish(result);
  if (status == 0) {
    char note[256] = {};
    GetFailureNote_Interface(note, sizeof(note));
    std::printf("handset on %s%s refurbished: file system erased, NV and authentication items written back, "
                "brew_script written, script %s %s\n",
                port->name.c_str(), record.EsnSuffix().c_str(), script.c_str(),
                note[0] != '\0' ? note : "ran without a warning");
  }
  return status;
}

}  // namespace

void AddRefurbishCommand(CLI::App& app) {
  auto options = std::make_shared<RefurbishOptions>();
  auto* command = app.add_subcommand(
      "refurbish", "Erase the handset's file system and provision it anew with SCRIPT, keeping its NV items");
  AddPortOption(*command, options->port);
  command->add_option("--kind", options->kind,
                      "operation kind: 2 or 3 (default 2) retry the mode entry after the erase up to four times, "
                      "asking for a reboot between tries; 0 or 1 try once")
      ->check(CLI::Range(-32768, 32767));
  AddSpcOption(*command, options->spc);
  command->add_option("SCRIPT", options->script,
                      "the provisioning script; its brew_script directory and efs_scr folder stand beside it")
      ->required();
  AddReportOption(*command, options->report);
  command->footer(std::string("The script is checked first (as script-check does) and the brew_script directory "
                              "must stand beside it; nothing touches the handset before. Waits: the NV read, "
                              "about 2 s, the erase with 20 s for the restart, the NV write, the brew_script "
                              "write, the script, then 20 s for the final restart. Success means the handset "
                              "holds its NV and authentication items again, the brew_script files and every line "
                              "of the script; a script warning (error 50) is shown and named in the success line. A failure after the erase keeps "
                              "the NV items in a COM<n>_MMDDhhmmss.bak file.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunRefurbish(*options)); });
}

}  // namespace zk::cli
