// The whole simulated RB310: the core (personalities, dispatch, faults,
// transcript) with every service attached, each on its part of the state
// directory.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/handset_core.h"
#include "options.h"
#include "services/downloader_service.h"
#include "services/file_system_service.h"
#include "services/identity_service.h"
#include "services/mode_service.h"
#include "services/nv_service.h"
#include "services/prl_service.h"
#include "services/security_service.h"

namespace rb310 {

// What an observer sees of the handset at one moment.
struct HandsetState {
  Personality personality = Personality::kAt;
  uint32_t diagBaud = 115200;  // the rate the diagnostic side (or the downloader) listens at
  uint32_t hostBaud = 0;       // the rate the host's latest bytes were sent at (0: unknown)
  bool offline = false;
  bool spcUnlocked = false;
  bool keypadReleased = false;
  std::vector<uint8_t> keysPressed;  // remote key presses accepted, in order
};

class Handset {
 public:
  // `options.stateDir` must be set.
  Handset(SimOptions options, int64_t nowMs);
  Handset(const Handset&) = delete;
  Handset& operator=(const Handset&) = delete;

  // Bytes written by the host at `hostBaud` (0 when unknown).
  void Receive(std::span<const uint8_t> bytes, uint32_t hostBaud, int64_t nowMs) {
    core_.Receive(bytes, hostBaud, nowMs);
  }
  // Runs what has fallen due by `nowMs`; the bytes to send, in order.
  std::vector<uint8_t> Advance(int64_t nowMs) { return core_.Advance(nowMs); }
  std::optional<int64_t> NextEventMs() const { return core_.NextEventMs(); }

  HandsetState state() const;
  const SimOptions& options() const { return options_; }
  const Counters& counters() const { return core_.counters(); }
  bool vanished() const { return core_.vanished(); }
  FaultPlan& faults() { return core_.faults(); }
  Transcript& transcript() { return core_.transcript(); }
  const Transcript& transcript() const { return core_.transcript(); }
  Dispatcher& diagCommands() { return core_.dispatchers().diagnostic; }
  Dispatcher& downloaderCommands() { return core_.dispatchers().downloader; }
  void EnterDownloader() { core_.EnterDownloader(); }

  HandsetCore& core() { return core_; }
  IdentityService& identity() { return identity_; }
  ModeService& mode() { return mode_; }
  SecurityService& security() { return security_; }
  NvService& nv() { return nv_; }
  PrlService& prl() { return prl_; }
  FileSystemService& fileSystem() { return fileSystem_; }
  DownloaderService& downloader() { return downloader_; }

 private:
  SimOptions options_;
  IdentityService identity_;
  ModeService mode_;
  SecurityService security_;
  NvService nv_;
  PrlService prl_;
  FileSystemService fileSystem_;
  DownloaderService downloader_;
  // Declared last, so it is destroyed first: its handlers point into the
  // services above.
  HandsetCore core_;
};

}  // namespace rb310
