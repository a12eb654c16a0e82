// The rb310-sim command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "options.h"

namespace rb310 {

// Fills `options` from the arguments. Returns nullopt to run the handset, or
// the exit code to leave with (help shown: 0, usage error: non-zero, with
// the message printed).
std::optional<int> ParseCommandLine(int argc, const char* const* argv, SimOptions& options);

// A fault rule in the form SELECTOR[/TIMES][@VALUE]: the selector is "all",
// "nth=N" (the N-th request since start) or "code=C" (every request with code
// C); TIMES limits how many matching requests it hits; VALUE is the foreign
// code, the stall in ms or the number of noise bytes. Numbers may be 0x-hex.
bool ParseFaultRule(FaultRule::Action action, std::string_view text, FaultRule& rule, std::string& error);

// An NV status fault in the form ITEM[/INDEX]=STATUS.
bool ParseNvStatusFault(std::string_view text, NvStatusFault& fault, std::string& error);

}  // namespace rb310
