#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload prl-read`: reads the PRL of one NAM into a file.
void AddPrlReadCommand(CLI::App& app);

}  // namespace zk::cli
