// The exit status the sub-command that ran asks for.
#pragma once

namespace zk::cli {

void SetCommandResult(int status);
int CommandResult();

}  // namespace zk::cli
