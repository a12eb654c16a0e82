// rb310-sim: runs one simulated handset until SIGTERM or SIGINT.
#include <signal.h>

#include <cstdio>
#include <string>

#include "command_line.h"
#include "simulator.h"

int main(int argc, char** argv) {
  rb310::SimOptions options;
  if (const auto exitCode = rb310::ParseCommandLine(argc, argv, options)) return *exitCode;

  // Block the stop signals before the handset's thread starts, so that they
  // reach sigwait below and nothing else.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  rb310::Simulator simulator(options);
  std::string error;
  if (!simulator.Start(error)) {
    std::fprintf(stderr, "rb310-sim: %s\n", error.c_str());
    return 1;
  }
  // Scripts wait for this line.
  std::printf("rb310-sim: COM%d -> %s\n", simulator.port(), simulator.slavePath().c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  simulator.Stop();
  return 0;
}
