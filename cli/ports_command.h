#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload ports`: lists the port map with what discovery makes of each port.
void AddPortsCommand(CLI::App& app);

}  // namespace zk::cli
