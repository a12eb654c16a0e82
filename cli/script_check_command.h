// `zkdownload script-check`: a script read as a script download would read
// it, without a handset: every line that would fail, warn or be ignored.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddScriptCheckCommand(CLI::App& app);

}  // namespace zk::cli
