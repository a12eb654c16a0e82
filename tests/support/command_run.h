// Runs the zkdownload executable (or any program) as a child process with
// stdin from /dev/null, collecting its stdout and stderr and its exit status.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zk::test {

struct CommandOutcome {
  int status = -1;     // exit status; 128 + signal when killed; -1 when it could not start
  bool timedOut = false;
  std::string out;     // stdout
  std::string err;     // stderr
};

// `environment` entries ("NAME=value") are set for the child on top of the
// caller's environment. A child still running after `timeoutMs` is killed.
CommandOutcome RunCommand(const std::string& executable, const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& environment = {},
                          int timeoutMs = 60000);

// The build's zkdownload executable.
std::string CliExecutable();

}  // namespace zk::test
