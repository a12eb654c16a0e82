// `zkdownload log`: the service log as a table, or its raw JSON lines.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddLogCommand(CLI::App& app);

}  // namespace zk::cli
