#include "command_result.h"

namespace zk::cli {
namespace {
int g_status = 0;
}

void SetCommandResult(int status) { g_status = status; }
int CommandResult() { return g_status; }

}  // namespace zk::cli
