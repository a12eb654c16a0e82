#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload probe`: reads the identity and state of a handset that is
// already in diagnostic mode.
void AddProbeCommand(CLI::App& app);

}  // namespace zk::cli
