// Runs the zkdownload executable (or any program) as a child process with
// stdin from /dev/null, collecting its stdout and stderr and its exit status.
#pragma once

#include <sys/types.h>

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

// A program run in the background, stdin from /dev/null, its stdout and
// stderr read together as they come, so that a test can act on it (or on
// its children) halfway. Killed when it is still running at destruction.
class BackgroundCommand {
 public:
  BackgroundCommand(const std::string& executable, const std::vector<std::string>& args);
  ~BackgroundCommand();
  BackgroundCommand(const BackgroundCommand&) = delete;
  BackgroundCommand& operator=(const BackgroundCommand&) = delete;

  // Reads the output until it holds `text` (true) or `timeoutMs` passes.
  bool ReadUntil(const std::string& text, int timeoutMs);
  // The processes it started that are still running.
  std::vector<pid_t> Children() const;
  void Signal(int signal) const;
  // Reads the rest of the output and reaps the program: its exit status
  // (128 + signal when killed), or -1 when it is still running after
  // `timeoutMs`.
  int Finish(int timeoutMs);
  const std::string& output() const { return output_; }

 private:
  bool ReadSome(int timeoutMs);  // false at the end of the output

  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

// The build's zkdownload executable.
std::string CliExecutable();

}  // namespace zk::test
