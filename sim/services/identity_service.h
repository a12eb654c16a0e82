// Who the handset is: its serial number, its software version and the
// maker's vendor queries. Fixed for the handset's life, so nothing is
// forgotten on a restart.
#pragma once

#include <span>

#include "core/service.h"
#include "services/service_options.h"

namespace rb310 {

class IdentityService : public Service {
 public:
  explicit IdentityService(IdentityOptions options) : options_(std::move(options)) {}

  const char* name() const override { return "identity"; }
  void Register(Dispatchers& dispatchers) override;

  const IdentityOptions& options() const { return options_; }

 private:
  Answer Version(HandsetContext& context, std::span<const uint8_t> request);
  Answer Esn(HandsetContext& context, std::span<const uint8_t> request);
  Answer VendorQuery(HandsetContext& context, std::span<const uint8_t> request);

  IdentityOptions options_;
};

}  // namespace rb310
