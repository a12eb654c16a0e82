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

// Shown under every sub-command's help: the global options may stand after
// the sub-command's name too.
inline constexpr const char* kGlobalOptionsFooter =
    "Global options (before or after the sub-command): --ui none|console|qt, --answers LIST, --time-scale F, "
    "--trace FILE, --version.\nEvery operation appends a line to $ZKDOWNLOAD_HOME/service-log.jsonl "
    "(zkdownload log shows it).";

}  // namespace zk::cli
