#include "support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace zk::test {
namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

int StatusOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

std::string SimExecutable() {
#ifdef ZK_SIM_EXECUTABLE
  return ZK_SIM_EXECUTABLE;
#else
  return "rb310-sim";
#endif
}

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(const std::vector<std::string>& args, std::string& error, int timeoutMs) {
  return StartExecutable(SimExecutable(), args, error, timeoutMs);
}

bool SimProcess::StartExecutable(const std::string& executable, const std::vector<std::string>& args,
                                 std::string& error, int timeoutMs) {
  Stop();
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    error = "pipe failed";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<std::string> argvStrings{executable};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : argvStrings) argv.push_back(text.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, executable.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    pid_ = -1;
    close(pipeFds[0]);
    error = "cannot start " + executable;
    return false;
  }
  stdoutFd_ = pipeFds[0];

  // Wait for the ready line; the child may also end first (bad arguments).
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  output_.clear();
  while (output_.find('\n') == std::string::npos) {
    pollfd pfd{stdoutFd_, POLLIN, 0};
    const int left = MsLeft(end);
    if (left == 0 || poll(&pfd, 1, left) <= 0) {
      error = "no ready line from " + executable;
      return false;
    }
    char buffer[512];
    const ssize_t got = read(stdoutFd_, buffer, sizeof(buffer));
    if (got <= 0) {
      error = "rb310-sim ended before it was ready: " + output_;
      return false;
    }
    output_.append(buffer, static_cast<std::size_t>(got));
  }
  readyLine_ = output_.substr(0, output_.find('\n'));
  const std::size_t arrow = readyLine_.find(" -> ");
  if (!readyLine_.starts_with("rb310-sim: ") || arrow == std::string::npos) {
    error = "unexpected ready line: " + readyLine_;
    return false;
  }
  device_ = readyLine_.substr(arrow + 4);
  return true;
}

int SimProcess::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  // A pidfd turns readable when the child ends, so the wait can poll with
  // a deadline; without one, check at short intervals.
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (done < 0 && errno != EINTR) {
      status = -1;
      break;
    }
    const int left = MsLeft(end);
    if (left == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    if (pidFd >= 0) {
      pollfd pfd{pidFd, POLLIN, 0};
      poll(&pfd, 1, left);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 10)));
    }
  }
  if (pidFd >= 0) close(pidFd);
  pid_ = -1;
  if (stdoutFd_ >= 0) close(stdoutFd_);
  stdoutFd_ = -1;
  return status < 0 ? -1 : StatusOf(status);
}

int SimProcess::Stop(int timeoutMs) {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  return Wait(timeoutMs);
}

}  // namespace zk::test
