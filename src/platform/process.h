// Starting helper programs without a shell and without waiting for them.
#pragma once

#include <string>
#include <vector>

namespace zk::platform {

// Starts `program` with `arguments` (argv[1..]) and returns at once; the
// child is reaped in the background so no zombie stays. False when the
// program could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace zk::platform
