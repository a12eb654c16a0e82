// The handset's modem side: command lines ended by a carriage return, answered
// with verbose result texts, and the commands that switch it into diagnostic
// mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rb310 {

struct AtResult {
  std::string line;    // the command line as received (without the CR)
  std::string answer;  // bytes to send back; empty for a line that is no command
  std::optional<uint32_t> enterDiagAt;  // switch to diagnostic mode at this rate after answering
};

class AtPersonality {
 public:
  struct Settings {
    uint32_t defaultDmBaud = 115200;    // rate of AT$ZKDMGO, and of AT$QCDMG without AT$QCDMR
    bool ignoreStandardSwitch = false;  // AT$QCDMR and AT$QCDMG are unknown commands
  };

  explicit AtPersonality(Settings settings) : settings_(settings) {}

  // Feeds one byte; returns the result when it completes a line.
  std::optional<AtResult> Push(uint8_t byte);
  // Forgets a partial line and the rate chosen by AT$QCDMR (after a restart).
  void Reset();

  AtResult Execute(const std::string& line);

 private:
  static constexpr std::size_t kMaxLine = 512;

  Settings settings_;
  std::string line_;
  bool overflow_ = false;
  std::optional<uint32_t> chosenDmBaud_;  // set by AT$QCDMR
};

}  // namespace rb310
