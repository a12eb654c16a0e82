// Who the handset is: its serial number, its software version and the
// maker's vendor queries. Nothing is forgotten on a restart; the software
// version changes only when the handset restarts into a new main image that
// names its version.
//
// Image version convention: a main image whose first bytes are the ASCII
// text "RB310VER=" followed by 8 characters brings software version
// <those 8 characters>; any other image leaves the version as it was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/service.h"
#include "services/service_options.h"

namespace rb310 {

class IdentityService : public Service {
 public:
  explicit IdentityService(IdentityOptions options) : options_(std::move(options)) {}

  const char* name() const override { return "identity"; }
  void Register(Dispatchers& dispatchers) override;

  const IdentityOptions& options() const { return options_; }

  // A main image was stored: its first bytes decide the version reported
  // after the next restart.
  void AdoptImage(std::span<const uint8_t> imageStart);
  void OnRestart() override;

  static constexpr std::string_view kVersionTag = "RB310VER=";
  static constexpr std::size_t kVersionLength = 8;

 private:
  Answer Version(HandsetContext& context, std::span<const uint8_t> request);
  Answer Esn(HandsetContext& context, std::span<const uint8_t> request);
  Answer VendorQuery(HandsetContext& context, std::span<const uint8_t> request);

  IdentityOptions options_;
  std::optional<std::string> nextVersion_;  // taken on the next restart
};

}  // namespace rb310
