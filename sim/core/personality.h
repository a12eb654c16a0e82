// Which side of the handset answers the host, how it starts and how it comes
// back after a reset.
#pragma once

#include <cstdint>
#include <optional>

namespace rb310 {

enum class Personality {
  kAt,          // modem: AT command lines
  kDiag,        // diagnostic command set
  kDownloader,  // download protocol (after the switch to the downloader)
  kRestarting,  // silent after a reset
};

const char* PersonalityName(Personality personality);

struct PersonalityOptions {
  bool startInDm = false;
  bool startInDownloader = false;   // a handset that offers only its downloader (takes precedence)
  uint32_t dmBaud = 115200;         // diagnostic rate at start and after a restart
  std::optional<bool> restartInDm;  // unset: like startInDm
  int64_t restartDelayMs = 5000;    // silence after a reset (scaled)

  bool RestartInDm() const { return restartInDm.value_or(startInDm); }
};

struct PersonalityState {
  Personality personality = Personality::kAt;
  uint32_t diagBaud = 115200;  // the rate the diagnostic side (or the downloader) listens at
  uint32_t hostBaud = 0;       // the rate the host's latest bytes were sent at (0: unknown)
};

}  // namespace rb310
