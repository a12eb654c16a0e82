// zkdownload: the technician's command. Each sub-command calls the library
// the way a host application does.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "command_result.h"
#include "efs_commands.h"
#include "bin_download_command.h"
#include "refurbish_command.h"
#include "emergency_command.h"
#include "global_options.h"
#include "identity_command.h"
#include "log_command.h"
#include "nv_commands.h"
#include "nv_edit_command.h"
#include "nv_file_commands.h"
#include "operation_options.h"
#include "operation_record.h"
#include "ports_command.h"
#include "probe_command.h"
#include "prl_read_command.h"
#include "prl_write_command.h"
#include "script_check_command.h"
#include "station_command.h"
#include "upgrade_command.h"

int main(int argc, char** argv) {
  zk::cli::SetCommandLine(argc, argv);
  CLI::App app{"zkdownload: servicing tool for the RB310 handset"};
  app.set_version_flag("--version", std::string("zkdownload ") + ZK_VERSION);
  app.require_subcommand(1);
  app.footer(zk::cli::kGlobalOptionsFooter);
  // Global options may also follow the sub-command's name.
  app.fallthrough();
  zk::cli::AddGlobalOptions(app);
  zk::cli::AddPortsCommand(app);
  zk::cli::AddProbeCommand(app);
  zk::cli::AddIdentityCommand(app);
  zk::cli::AddPrlReadCommand(app);
  zk::cli::AddPrlWriteCommand(app);
  zk::cli::AddEmergencyCommand(app);
  zk::cli::AddBinDownloadCommand(app);
  zk::cli::AddUpgradeCommand(app);
  zk::cli::AddRefurbishCommand(app);
  zk::cli::AddEfsListCommand(app);
  zk::cli::AddEfsCopyCommands(app);
  zk::cli::AddEfsTreeCommands(app);
  zk::cli::AddEriCommands(app);
  zk::cli::AddScriptCheckCommand(app);
  zk::cli::AddScriptCommand(app);
  zk::cli::AddNvFileCommands(app);
  zk::cli::AddNvCommands(app);
  zk::cli::AddNvEditCommand(app);
  zk::cli::AddLogCommand(app);
  zk::cli::AddStationCommand(app);
  // `zkdownload help [SUB-COMMAND]`: the same text as --help.
  auto* help = app.add_subcommand("help", "Show this help, or a sub-command's");
  std::string topic;
  help->add_option("SUB-COMMAND", topic, "the sub-command to explain");
  help->callback([&app, &topic] {
    CLI::App* subject = &app;
    if (!topic.empty()) {
      try {
        subject = app.get_subcommand(topic);
      } catch (const CLI::OptionNotFound&) {
        std::fprintf(stderr, "zkdownload: no sub-command '%s'\n", topic.c_str());
        zk::cli::SetCommandResult(zk::cli::kUsageStatus);
        return;
      }
    }
    std::printf("%s", subject->help().c_str());
    zk::cli::SetCommandResult(0);
  });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : zk::cli::kUsageStatus;
  }
  return zk::cli::CommandResult();
}
