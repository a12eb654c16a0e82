// The handset's operating mode: online or offline, the status that reports
// it, the reset (from offline only), the diagnostic line rate and the switch
// to the downloader. A restart brings the handset back online.
#pragma once

#include <cstdint>
#include <span>

#include "core/service.h"

namespace rb310 {

class ModeService : public Service {
 public:
  // The status answer carries the handset's serial number.
  explicit ModeService(uint32_t esn) : esn_(esn) {}

  const char* name() const override { return "mode"; }
  void Register(Dispatchers& dispatchers) override;
  void OnRestart() override { offline_ = false; }

  bool offline() const { return offline_; }

 private:
  Answer Status(HandsetContext& context, std::span<const uint8_t> request);
  Answer ModeControl(HandsetContext& context, std::span<const uint8_t> request);
  Answer SwitchToDownloader(HandsetContext& context, std::span<const uint8_t> request);
  Answer BaudChange(HandsetContext& context, std::span<const uint8_t> request);

  uint32_t esn_;
  bool offline_ = false;
};

}  // namespace rb310
