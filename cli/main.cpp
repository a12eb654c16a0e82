// zkdownload: the technician's command. Each sub-command calls the library
// the way a host application does.
#include <CLI/CLI.hpp>

#include "command_result.h"
#include "emergency_command.h"
#include "global_options.h"
#include "identity_command.h"
#include "log_command.h"
#include "operation_options.h"
#include "operation_record.h"
#include "ports_command.h"
#include "probe_command.h"
#include "prl_read_command.h"
#include "prl_write_command.h"

int main(int argc, char** argv) {
  zk::cli::SetCommandLine(argc, argv);
  CLI::App app{"zkdownload: servicing tool for the RB310 handset"};
  app.require_subcommand(1);
  // Global options may also follow the sub-command's name.
  app.fallthrough();
  zk::cli::AddGlobalOptions(app);
  zk::cli::AddPortsCommand(app);
  zk::cli::AddProbeCommand(app);
  zk::cli::AddIdentityCommand(app);
  zk::cli::AddPrlReadCommand(app);
  zk::cli::AddPrlWriteCommand(app);
  zk::cli::AddEmergencyCommand(app);
  zk::cli::AddLogCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : zk::cli::kUsageStatus;
  }
  return zk::cli::CommandResult();
}
