// The library-wide link against an in-process simulated RB310 on a real pty,
// in a temporary $ZKDOWNLOAD_HOME and at a small time scale, with an
// operator interface that records what the operator would have seen.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/answer.h"
#include "core/byte_order.h"
#include "core/dispatcher.h"
#include "handset.h"
#include "services/diag_codes.h"
#include "support/library_objects.h"
#include "platform/clock.h"
#include "simulator.h"
#include "support/temp_home.h"
#include "ui/operator_ui.h"

namespace zk::test {

class RecordingUi : public zk::ui::OperatorUi {
 public:
  void SetProgressText(zk::ui::ProgressControl control, const std::string& text) override {
    if (control == zk::ui::ProgressControl::Status) statusTexts.push_back(text);
    if (control == zk::ui::ProgressControl::Detail) detailTexts.push_back(text);
  }
  zk::ui::MessageAnswer ShowMessage(const std::string& text, zk::ui::MessageButtons) override {
    messages.push_back(text);
    return zk::ui::MessageAnswer::Ok;
  }

  std::vector<std::string> statusTexts;
  std::vector<std::string> detailTexts;
  std::vector<std::string> messages;
};

class SimLinkTest : public ::testing::Test {
 protected:
  static constexpr double kScale = 0.02;  // as scale_ sets it
  static constexpr int kPort = 5;  // COM5
  static constexpr int kPortIndex = kPort - 1;

  void SetUp() override {
    zk::boundary::ResetLibraryState();
    g_commonProcess.SetOperatorUi(&ui_);
    g_diagLink.SetSpcCode("");
    g_diagLink.SetLinkParams(0, kPortIndex, 0, 0, -1);
  }

  void TearDown() override {
    g_commonProcess.CloseProgressWindow();  // also closes the port
    if (sim_) sim_->Stop();
    sim_.reset();
    zk::boundary::ResetLibraryState();
  }

  // The simulator's options with the test's port and a state directory in
  // the temporary home.
  rb310::SimOptions Options() const {
    rb310::SimOptions options;
    options.line.port = kPort;
    options.stateDir = home_.path() / "state";
    return options;
  }

  void StartSim(rb310::SimOptions options) {
    sim_.emplace(std::move(options));
    std::string error;
    ASSERT_TRUE(sim_->Start(error)) << error;
  }

  // A handset already in diagnostic mode at `baud`.
  void StartDiagHandset(uint32_t baud = 115200) {
    auto options = Options();
    options.personality.startInDm = true;
    options.personality.dmBaud = baud;
    StartSim(std::move(options));
  }

  // Opens the progress window so that mode entry's texts become visible.
  void OpenProgress() { g_commonProcess.OpenProgressWindow(); }

  // Frames the handset received with command code `code`, in order.
  std::vector<rb310::TranscriptEntry> Frames(int code) const {
    std::vector<rb310::TranscriptEntry> frames;
    for (auto& entry : sim_->transcript())
      if (entry.kind == "frame" && entry.code == code) frames.push_back(entry);
    return frames;
  }

  // Input the handset got (AT lines, stray or garbled text, frames) whose
  // bytes contain `text`.
  int InputContaining(const std::string& text) const {
    int count = 0;
    for (auto& entry : sim_->transcript()) {
      std::string bytes;
      for (std::size_t i = 0; i + 1 < entry.hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(entry.hex.substr(i, 2), nullptr, 16));
      if (bytes.find(text) != std::string::npos) ++count;
    }
    return count;
  }

  uint64_t Requests(uint8_t code) const { return sim_->counters().requestsByCode[code]; }

  ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", "0.02"};
  TempHome home_;
  RecordingUi ui_;
  std::optional<rb310::Simulator> sim_;
};

// Fault plans built from rules.
inline rb310::FaultOptions Faults(std::vector<rb310::FaultRule> rules) {
  rb310::FaultOptions faults;
  faults.rules = std::move(rules);
  return faults;
}
inline rb310::FaultRule DropAll() { return {rb310::FaultRule::Action::kDrop, rb310::FaultRule::Match::kAll, 0, 0, 0}; }
inline rb310::FaultRule DropCode(uint8_t code) {
  return {rb310::FaultRule::Action::kDrop, rb310::FaultRule::Match::kCode, code, 0, 0};
}
// Answers to `code` carry `foreign` instead (the first `times` of them; 0: all).
inline rb310::FaultRule ForeignCode(uint8_t code, uint8_t foreign, uint32_t times = 0) {
  return {rb310::FaultRule::Action::kForeignCode, rb310::FaultRule::Match::kCode, code, times, foreign};
}

// A request's bytes from the transcript's hex text.
// Makes the handset answer every reset request (mode control, mode 2) with
// the bad-parameter error, while other mode changes work as before.
inline void RefuseResets(rb310::Handset& handset) {
  constexpr uint16_t kResetMode = 2;
  rb310::Command wrapped = *handset.diagCommands().Find(rb310::diag::kModeControl);
  wrapped.handler = [inner = wrapped.handler](rb310::HandsetContext& h, std::span<const uint8_t> request) {
    if (rb310::GetLe16(request, 1) == kResetMode) return rb310::ErrorAnswer(rb310::diag::kBadParameter, request);
    return inner(h, request);
  };
  handset.diagCommands().Add(rb310::diag::kModeControl, std::move(wrapped));
}

inline std::vector<uint8_t> HexBytes(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace zk::test
