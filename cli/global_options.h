// Options every sub-command accepts. They reach the library through its
// environment variables, so they are set before the first library call.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// Adds --ui, --time-scale, --trace and --answers to `app`; once the command
// line is parsed, the given values are exported as ZKDOWNLOAD_UI,
// ZKDOWNLOAD_TIME_SCALE, ZKDOWNLOAD_TRACE and ZKDOWNLOAD_ANSWERS (a value not
// given leaves the variable as the caller's environment has it).
void AddGlobalOptions(CLI::App& app);

}  // namespace zk::cli
