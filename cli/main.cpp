// zkdownload: the technician's command. Each sub-command calls the library
// the way a host application does.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include <cstdlib>

#include "command_result.h"
#include "probe_command.h"

int main(int argc, char** argv) {
  CLI::App app{"zkdownload: servicing tool for the RB310 handset"};
  app.require_subcommand(1);
  double timeScale = 0;
  app.add_option("--time-scale", timeScale, "factor applied to every wait and time-out (tests use 0.01-0.05)")
      ->check(CLI::PositiveNumber);
  // The library reads its time scale from the environment on first use.
  app.parse_complete_callback([&] {
    if (timeScale > 0) setenv("ZKDOWNLOAD_TIME_SCALE", std::to_string(timeScale).c_str(), 1);
  });
  zk::cli::AddProbeCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return zk::cli::CommandResult();
}
