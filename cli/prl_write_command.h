#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload prl-write`: writes a PRL file into one NAM or both.
void AddPrlWriteCommand(CLI::App& app);

}  // namespace zk::cli
