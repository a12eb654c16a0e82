// One worker process of the service station: `zkdownload OPERATION --port P
// ...` for one handset, in its own process group (a Ctrl-C at the terminal
// reaches the station only, which lets the handset in progress finish), its
// operator-interface events on a pipe, its printed output appended to the
// port's log file.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zk::cli {

class StationWorker {
 public:
  StationWorker() = default;
  ~StationWorker();
  StationWorker(const StationWorker&) = delete;
  StationWorker& operator=(const StationWorker&) = delete;

  // Starts `argv` (argv[0] the program). False with the reason when the log
  // file, the pipe or the process could not be made.
  bool Start(const std::vector<std::string>& argv, const std::filesystem::path& logFile, std::string& why);

  // The read end of the event pipe, -1 once it reached its end.
  int EventFd() const { return m_events; }
  bool Running() const { return m_pid > 0; }

  // Reads what the pipe holds and calls `onEvent` with the fields of every
  // whole line. False once the pipe reached its end (the worker exited).
  bool ReadEvents(const std::function<void(const std::vector<std::string>&)>& onEvent);

  // True once the worker ended (its pipe drained and closed), with its
  // exit status or minus the signal that ended it. Programs the worker
  // started may hold the pipe open longer; they are not waited for.
  bool Exited(int& status);

  // Waits for the worker: its exit status, or minus the signal.
  int Reap();

  // Asks the worker's whole process group to stop.
  void Terminate();

 private:
  void CloseEvents();
  static int StatusOf(int waitStatus);

  pid_t m_pid = -1;
  int m_events = -1;
  std::string m_partial;  // an event line not yet whole
};

}  // namespace zk::cli
