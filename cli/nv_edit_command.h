// `zkdownload nv-edit`: the NV editor, interactive on the console, or driven
// by options (--show, --set, --write) for line work and tests.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddNvEditCommand(CLI::App& app);

}  // namespace zk::cli
