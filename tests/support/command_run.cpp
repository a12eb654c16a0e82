#include "support/command_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <map>
#include <thread>

extern char** environ;

namespace zk::test {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& extra) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const auto equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : extra) merged[name] = value;
  std::vector<std::string> list;
  for (const auto& [name, value] : merged) list.push_back(name + "=" + value);
  return list;
}

// Starts `executable` with `args` and `envp`, stdin from /dev/null, stdout
// on `outFd` and stderr on `errFd`; -1 when it cannot start.
pid_t Spawn(const std::string& executable, const std::vector<std::string>& args, char* const* envp, int outFd,
            int errFd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  std::vector<std::string> argvText{executable};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& text : argvText) argv.push_back(text.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int StatusOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

std::string CliExecutable() {
#ifdef ZK_CLI_EXECUTABLE
  return ZK_CLI_EXECUTABLE;
#else
  return "zkdownload";
#endif
}

CommandOutcome RunCommand(const std::string& executable, const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& environment, int timeoutMs) {
  CommandOutcome outcome;
  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return outcome;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return outcome;
  }
  std::vector<std::string> envText = MergedEnvironment(environment);
  std::vector<char*> envp;
  for (auto& text : envText) envp.push_back(text.data());
  envp.push_back(nullptr);

  const pid_t pid = Spawn(executable, args, envp.data(), outPipe[1], errPipe[1]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid < 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    return outcome;
  }

  // Read both pipes until the child closes them or the deadline passes.
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&outcome.out, &outcome.err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) {
      outcome.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof(buffer));
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got < 0 && errno == EINTR) {
        continue;
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return outcome;
  }
  outcome.status = StatusOf(status);
  return outcome;
}

BackgroundCommand::BackgroundCommand(const std::string& executable, const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  pid_ = Spawn(executable, args, environ, pipeFds[1], pipeFds[1]);
  close(pipeFds[1]);
  out_ = pipeFds[0];
}

BackgroundCommand::~BackgroundCommand() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
}

bool BackgroundCommand::ReadUntil(const std::string& text, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (output_.find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0 || !ReadSome(static_cast<int>(left))) return false;
  }
  return true;
}

std::vector<pid_t> BackgroundCommand::Children() const {
  std::ifstream in("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(pid_) + "/children");
  std::vector<pid_t> pids;
  for (pid_t pid; in >> pid;) pids.push_back(pid);
  return pids;
}

void BackgroundCommand::Signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

int BackgroundCommand::Finish(int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end && ReadSome(100)) {
  }
  if (pid_ <= 0) return -1;
  int status = 0;
  // The output ends a moment before the program has exited.
  while (waitpid(pid_, &status, WNOHANG) != pid_) {
    if (Clock::now() >= end) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  return StatusOf(status);
}

bool BackgroundCommand::ReadSome(int timeoutMs) {
  if (out_ < 0) return false;
  pollfd pfd{out_, POLLIN, 0};
  if (poll(&pfd, 1, timeoutMs) <= 0) return true;
  char chunk[4096];
  const ssize_t got = read(out_, chunk, sizeof(chunk));
  if (got < 0 && errno == EINTR) return true;
  if (got <= 0) return false;
  output_.append(chunk, static_cast<std::size_t>(got));
  return true;
}

}  // namespace zk::test
