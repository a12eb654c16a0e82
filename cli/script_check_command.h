// `zkdownload script-check`: a script read as a script download would read
// it, without a handset: every line that would fail, warn or be ignored.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "script/script_parser.h"

namespace zk::cli {

void AddScriptCheckCommand(CLI::App& app);
// `zkdownload script`.
void AddScriptCommand(CLI::App& app);

// The parse with the checks only this computer can make: EFS sources that
// are missing, NV items the image has no slot for.
zk::script::ScriptParse CheckedParse(const CScriptParser& parser, int kind);

// 0 when the script loads and no line would fail; otherwise prints
// FILE:LINE: reason for each failing line and returns the usage status.
int RefuseFailingScript(const std::string& path, int kind);

}  // namespace zk::cli
