// `zkdownload nv-show` and `nv-diff`: NV backup files (.bak) read on the PC
// alone, with no port and no handset.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddNvFileCommands(CLI::App& app);

}  // namespace zk::cli
