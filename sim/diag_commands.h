// The handlers of the diagnostic command set.
#pragma once

#include "command_table.h"

namespace rb310 {

// Fills `table` with the diagnostic commands and sets its fallback to the
// bad-command answer.
void AddDiagCommands(CommandTable& table);

}  // namespace rb310
