// `zkdownload station`: one operation on many ports at once, a worker
// process per handset, until stopped or a number of handsets per port.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddStationCommand(CLI::App& app);

}  // namespace zk::cli
