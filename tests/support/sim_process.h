// The rb310-sim executable as a child process: started with arguments,
// waited for until it reports its port, stopped with SIGTERM.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zk::test {

class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts `executable` (default: the build's rb310-sim) with `args` and
  // waits up to `timeoutMs` for its line "rb310-sim: COM<n> -> <device>".
  // The child inherits the environment (ZKDOWNLOAD_HOME, time scale).
  bool Start(const std::vector<std::string>& args, std::string& error, int timeoutMs = 10000);
  bool StartExecutable(const std::string& executable, const std::vector<std::string>& args, std::string& error,
                       int timeoutMs = 10000);

  // Sends SIGTERM and waits up to `timeoutMs` (then SIGKILL). Returns the
  // exit status (WEXITSTATUS), 128 + signal when killed, -1 when not running.
  int Stop(int timeoutMs = 5000);
  // Waits for the child to end by itself; the same result as Stop.
  int Wait(int timeoutMs);

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  const std::string& device() const { return device_; }  // the pty slave
  const std::string& readyLine() const { return readyLine_; }
  const std::string& output() const { return output_; }  // stdout until ready (or the end)

 private:
  pid_t pid_ = -1;
  int stdoutFd_ = -1;
  std::string device_;
  std::string readyLine_;
  std::string output_;
};

std::string SimExecutable();

}  // namespace zk::test
