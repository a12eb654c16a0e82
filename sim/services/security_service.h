// The handset's locks: the service programming code that unlocks guarded
// writes (when the handset insists on it), the keypad lock and the remote key
// presses it lets through. A restart locks both again.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/service.h"
#include "services/service_options.h"

namespace rb310 {

class SecurityService : public Service {
 public:
  explicit SecurityService(SecurityOptions options) : options_(std::move(options)) {}

  const char* name() const override { return "security"; }
  // Also installs the guard of the diagnostic command set.
  void Register(Dispatchers& dispatchers) override;
  void OnRestart() override;

  bool spcUnlocked() const { return spcUnlocked_; }
  bool keypadReleased() const { return keypadReleased_; }
  // Remote key presses accepted, in order (kept across restarts: a record,
  // not a state).
  const std::vector<uint8_t>& keysPressed() const { return keysPressed_; }
  // Whether guarded requests (NV and PRL writes) may run now.
  bool WritesAllowed() const {
    return !(options_.requireSpcForWrites || options_.requireSpcForReads) || spcUnlocked_;
  }

 private:
  Answer Spc(HandsetContext& context, std::span<const uint8_t> request);
  Answer KeyLock(HandsetContext& context, std::span<const uint8_t> request);
  Answer KeyPress(HandsetContext& context, std::span<const uint8_t> request);

  SecurityOptions options_;
  bool spcUnlocked_ = false;
  bool keypadReleased_ = false;
  std::vector<uint8_t> keysPressed_;
};

}  // namespace rb310
