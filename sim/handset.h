// The simulated RB310 as pure logic: bytes from the host go in with the time
// and the host's line rate, answer bytes come out when they are due. No
// threads, no file descriptors; the pty endpoint and the simulator loop
// carry the bytes.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "wire/at_personality.h"
#include "command_table.h"
#include "downloader.h"
#include "core/faults.h"
#include "services/flash_store.h"
#include "wire/frame_link.h"
#include "services/nv_store.h"
#include "core/personality.h"
#include "options.h"
#include "services/prl_store.h"
#include "core/transcript.h"

namespace rb310 {

struct HandsetState {
  Personality personality = Personality::kAt;
  uint32_t diagBaud = 115200;  // the rate the diagnostic side (or the downloader) listens at
  uint32_t hostBaud = 0;       // the rate the host's latest bytes were sent at (0: unknown)
  bool offline = false;
  bool spcUnlocked = false;
  bool keypadReleased = false;
  std::vector<uint8_t> keysPressed;  // remote key presses accepted, in order
};

struct Counters {
  uint64_t atLines = 0;
  uint64_t frames = 0;  // good frames, each one request
  uint64_t badFrames = 0;
  uint64_t overlongFrames = 0;
  uint64_t strayLines = 0;      // AT lines dropped by the diagnostic side
  uint64_t garbledChunks = 0;   // input at a rate the handset does not listen at
  uint64_t ignoredWhileRestarting = 0;
  uint64_t answers = 0;         // answers sent (AT results included)
  uint64_t droppedAnswers = 0;
  uint64_t restarts = 0;
  std::array<uint64_t, 256> requestsByCode{};
};

class Handset {
 public:
  // `options.stateDir` must be set.
  Handset(SimOptions options, int64_t nowMs);

  // Bytes written by the host; `hostBaud` is the rate the host's port is set
  // to (0 when unknown).
  void Receive(std::span<const uint8_t> bytes, uint32_t hostBaud, int64_t nowMs);
  // Moves the handset's clock to `nowMs`: runs what has fallen due and
  // returns the bytes to send, in order.
  std::vector<uint8_t> Advance(int64_t nowMs);
  // When Advance next has something to do.
  std::optional<int64_t> NextEventMs() const;

  const SimOptions& options() const { return options_; }
  HandsetState& state() { return state_; }
  const HandsetState& state() const { return state_; }
  const Counters& counters() const { return counters_; }
  NvStore& nv() { return nv_; }
  PrlStore& prl() { return prl_; }
  FlashStore& flash() { return flash_; }
  // The handset's file system; the downloader's EFS erase empties it.
  std::filesystem::path efsDirectory() const { return options_.stateDir / "efs"; }
  FaultPlan& faults() { return faults_; }
  Transcript& transcript() { return transcript_; }
  const Transcript& transcript() const { return transcript_; }
  CommandTable& diagCommands() { return diagCommands_; }
  CommandTable& downloaderCommands() { return downloaderCommands_; }

  bool IsNamItem(uint16_t item) const { return namItems_.count(item) != 0; }
  // Whether bytes sent at `hostBaud` reach the diagnostic side intact.
  bool UnderstandsLine(uint32_t hostBaud) const;

  // Transitions, for the command handlers.
  void EnterDiagMode(uint32_t baud);
  void EnterDownloader();
  void SetDiagBaud(uint32_t baud) { state_.diagBaud = baud; }
  // Goes silent now and comes back after the restart delay.
  void BeginRestart(int64_t nowMs);

 private:
  struct Scheduled {
    int64_t dueMs = 0;
    std::vector<uint8_t> bytes;
    std::function<void(Handset&, int64_t)> action;
  };

  void Schedule(int64_t nowMs, int64_t delayMs, std::vector<uint8_t> bytes,
                std::function<void(Handset&, int64_t)> action);
  void HandleAtLine(const AtResult& result, int64_t nowMs);
  void HandleFrame(ReceivedFrame frame, int64_t nowMs);
  void HandleRequest(std::vector<uint8_t> request, int64_t nowMs);
  Answer Dispatch(const CommandTable& table, std::span<const uint8_t> request);
  void FinishRestart();
  void Record(int64_t nowMs, std::string kind, int code, std::span<const uint8_t> bytes, bool answered,
              std::string note, std::optional<WriteFields> write = std::nullopt);

  SimOptions options_;
  int64_t startMs_;
  HandsetState state_;
  Counters counters_;
  std::set<uint16_t> namItems_;
  NvStore nv_;
  PrlStore prl_;
  FlashStore flash_;
  FaultPlan faults_;
  Transcript transcript_;
  AtPersonality at_;
  FrameReceiver receiver_;
  CommandTable diagCommands_;
  CommandTable downloaderCommands_;
  std::deque<Scheduled> outbox_;
  int64_t lastDueMs_ = 0;
};

}  // namespace rb310
