// Options and checks shared by the operation sub-commands.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "port_option.h"

namespace zk::cli {

// The operation kind the command passes: a single-handset session, whose
// windows are centred rather than tiled by port.
constexpr short kOperationKind = 2;

// Link extras of the USB exports, as the serial exports fix them.
constexpr short kLinkParam1 = 0;
constexpr short kLinkParam2 = 0;
constexpr short kLinkParam3 = -1;

// Exit status for bad usage and ports that cannot be resolved.
constexpr int kUsageStatus = 2;

void AddPortOption(CLI::App& command, std::string& port);
// --spc: six digits; empty lets the library use the factory code.
void AddSpcOption(CLI::App& command, std::string& spc);

// --report FILE: the run's service record as JSON, for the staged operations.
void AddReportOption(CLI::App& command, std::string& report);
// 0 when no report was asked for or its file can be written; otherwise says
// why and returns the usage status.
int RefuseUnwritableReport(const std::string& report);

// Resolves --port for an operation. A COM name must have a port map entry
// (a device path gets one made); otherwise the reason goes to stderr and
// nullopt comes back.
std::optional<ResolvedPort> ResolveOperationPort(const std::string& text);

// Prints why an input was refused (and the way around it, when there is one)
// and returns the usage status.
int RefuseInput(const std::string& why, const std::string& override);

// `path` made absolute: the operations change the working directory.
std::string AbsolutePath(const std::string& path);

}  // namespace zk::cli
