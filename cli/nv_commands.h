// `zkdownload nv-backup`, `nv-restore`, `nv-read`, `nv-write`, and `backup`
// and `restore` (NV items and the file system together).
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddNvCommands(CLI::App& app);

}  // namespace zk::cli
