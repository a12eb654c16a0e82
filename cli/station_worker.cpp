#include "station_worker.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ui/event_line.h"

namespace zk::cli {
namespace {

// The descriptor the worker's events go to.
constexpr int kWorkerEventFd = 3;
// A line longer than this is no event of ours; it is dropped.
constexpr std::size_t kMaxEventLine = 64 * 1024;

}  // namespace

StationWorker::~StationWorker() {
  CloseEvents();
  if (m_pid > 0) {
    Terminate();
    Reap();
  }
}

void StationWorker::CloseEvents() {
  if (m_events >= 0) ::close(m_events);
  m_events = -1;
}

bool StationWorker::Start(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
                          std::string& why) {
  const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) {
    why = logFile.string() + ": " + std::strerror(errno);
    return false;
  }
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    why = std::string("no pipe for the worker: ") + std::strerror(errno);
    ::close(log);
    return false;
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    ::setpgid(0, 0);
    ::signal(SIGPIPE, SIG_IGN);  // a station that went away must not end the handset in progress
    ::signal(SIGINT, SIG_DFL);
    ::dup2(log, STDOUT_FILENO);
    ::dup2(log, STDERR_FILENO);
    ::dup2(pipeFds[1], kWorkerEventFd);  // dup2 clears close-on-exec on the copy
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
    ::setenv("ZKDOWNLOAD_UI", "pipe:3", 1);
    ::execv(args[0], args.data());
    const char message[] = "station: the worker program could not be started\n";
    (void)!::write(STDERR_FILENO, message, sizeof(message) - 1);
    ::_exit(127);
  }
  const int startError = errno;
  ::close(log);
  ::close(pipeFds[1]);
  if (pid < 0) {
    ::close(pipeFds[0]);
    why = std::string("no worker process: ") + std::strerror(startError);
    return false;
  }
  ::setpgid(pid, pid);  // also here, so Terminate works before the child ran
  ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
  m_pid = pid;
  m_events = pipeFds[0];
  m_partial.clear();
  return true;
}

bool StationWorker::ReadEvents(const std::function<void(const std::vector<std::string>&)>& onEvent) {
  if (m_events < 0) return false;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(m_events, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    if (n <= 0) {
      CloseEvents();
      return false;
    }
    m_partial.append(buffer, static_cast<std::size_t>(n));
    std::size_t start = 0;
    for (std::size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1)
      onEvent(ui::DecodeEventLine(std::string_view(m_partial).substr(start, end - start)));
    m_partial.erase(0, start);
    if (m_partial.size() > kMaxEventLine) m_partial.clear();
  }
}

int StationWorker::StatusOf(int waitStatus) {
  if (WIFSIGNALED(waitStatus)) return -WTERMSIG(waitStatus);
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 1;
}

bool StationWorker::Exited(int& status) {
  if (m_pid <= 0) return false;
  int waitStatus = 0;
  if (::waitpid(m_pid, &waitStatus, WNOHANG) != m_pid) return false;
  m_pid = -1;
  CloseEvents();
  status = StatusOf(waitStatus);
  return true;
}

int StationWorker::Reap() {
  if (m_pid <= 0) return 0;
  int waitStatus = 0;
  while (::waitpid(m_pid, &waitStatus, 0) < 0 && errno == EINTR) {
  }
  m_pid = -1;
  CloseEvents();
  return StatusOf(waitStatus);
}

void StationWorker::Terminate() {
  if (m_pid > 0) ::kill(-m_pid, SIGTERM);
}

}  // namespace zk::cli
