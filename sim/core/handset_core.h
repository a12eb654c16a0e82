// The simulated RB310 as pure logic: bytes from the host go in with the time
// and the host's line rate, answer bytes come out when they are due. The core
// runs the personalities (AT, diagnostic, downloader, restarting), frames,
// dispatches requests to the services' handlers, injects faults and keeps
// the transcript. No threads, no file descriptors; the pty endpoint and the
// simulator loop carry the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/counters.h"
#include "core/dispatcher.h"
#include "core/fault_options.h"
#include "core/faults.h"
#include "core/handset_context.h"
#include "core/outbox.h"
#include "core/personality.h"
#include "core/service.h"
#include "core/transcript.h"
#include "wire/at_personality.h"
#include "wire/frame_link.h"

namespace rb310 {

class HandsetCore : public HandsetContext {
 public:
  struct Settings {
    PersonalityOptions personality;
    bool usbModem = false;  // the USB modem port: line rates do not matter
    FaultOptions faults;
  };

  HandsetCore(Settings settings, int64_t nowMs);
  HandsetCore(const HandsetCore&) = delete;
  HandsetCore& operator=(const HandsetCore&) = delete;

  // Takes `service` on: its handlers are registered now and its restart
  // hook runs on every restart. It must outlive the core.
  void Attach(Service& service);

  // Bytes written by the host; `hostBaud` is the rate the host's port is set
  // to (0 when unknown).
  void Receive(std::span<const uint8_t> bytes, uint32_t hostBaud, int64_t nowMs);
  // Moves the handset's clock to `nowMs`: runs what has fallen due and
  // returns the bytes to send, in order.
  std::vector<uint8_t> Advance(int64_t nowMs) { return outbox_.TakeDue(nowMs); }
  // When Advance next has something to do.
  std::optional<int64_t> NextEventMs() const { return outbox_.NextDueMs(); }

  const PersonalityState& state() const { return state_; }
  const Counters& counters() const { return counters_; }
  // A disconnect fault hit: the handset is gone and its line must close.
  bool vanished() const { return vanished_; }
  FaultPlan& faults() { return faults_; }
  Transcript& transcript() { return transcript_; }
  const Transcript& transcript() const { return transcript_; }
  Dispatchers& dispatchers() { return dispatchers_; }

  // Whether bytes sent at `hostBaud` reach the diagnostic side intact.
  bool UnderstandsLine(uint32_t hostBaud) const;

  // HandsetContext.
  Personality personality() const override { return state_.personality; }
  void EnterDownloader() override;
  void SetLineRate(uint32_t baud) override { state_.diagBaud = baud; }
  void BeginRestart(int64_t nowMs) override;
  const FaultPlan& faults() const override { return faults_; }

 private:
  void EnterDiagMode(uint32_t baud);
  void FinishRestart();
  void HandleAtLine(const AtResult& result, int64_t nowMs);
  void HandleFrame(ReceivedFrame frame, int64_t nowMs);
  void HandleRequest(std::vector<uint8_t> request, int64_t nowMs);
  void Record(int64_t nowMs, std::string kind, int code, std::span<const uint8_t> bytes, bool answered,
              std::string note, std::optional<BlockFields> block = std::nullopt);

  Settings settings_;
  int64_t startMs_;
  PersonalityState state_;
  Counters counters_;
  FaultPlan faults_;
  Transcript transcript_;
  AtPersonality at_;
  FrameReceiver receiver_;
  Dispatchers dispatchers_;
  std::vector<Service*> services_;
  Outbox outbox_;
  bool vanished_ = false;
};

}  // namespace rb310
