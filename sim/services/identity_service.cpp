#include "services/identity_service.h"

#include <algorithm>
#include <string_view>

#include "core/byte_order.h"
#include "services/diag_codes.h"

namespace rb310 {
namespace {

void PutText(std::vector<uint8_t>& packet, std::size_t offset, std::string_view text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    Put8(packet, offset + i, i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
  }
}

}  // namespace

void IdentityService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  diagnostic.Add(diag::kVersion, {"version", 1, false, Handler(this, &IdentityService::Version)});
  diagnostic.Add(diag::kEsn, {"esn", 1, false, Handler(this, &IdentityService::Esn)});
  diagnostic.Add(diag::kVendorQuery,
                 {"vendor query", diag::kVendorQueryRequestSize, false, Handler(this, &IdentityService::VendorQuery)});
}

void IdentityService::AdoptImage(std::span<const uint8_t> imageStart) {
  nextVersion_.reset();
  if (imageStart.size() < kVersionTag.size() + kVersionLength) return;
  if (!std::equal(kVersionTag.begin(), kVersionTag.end(), imageStart.begin())) return;
  const auto version = imageStart.subspan(kVersionTag.size(), kVersionLength);
  nextVersion_ = std::string(version.begin(), version.end());
}

void IdentityService::OnRestart() {
  if (!nextVersion_) return;
  options_.softwareVersion = *nextVersion_;
  nextVersion_.reset();
}

Answer IdentityService::Version(HandsetContext&, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kVersionResponseSize, 0);
  packet[0] = diag::kVersion;
  PutText(packet, diag::kVersionCompileDateOffset, "Mar 14 2006", 11);
  PutText(packet, diag::kVersionCompileTimeOffset, "10:22:31", 8);
  PutText(packet, diag::kVersionReleaseDateOffset, "Mar 14 2006", 11);
  PutText(packet, diag::kVersionReleaseTimeOffset, "10:00:00", 8);
  PutText(packet, diag::kVersionSoftwareOffset, options_.softwareVersion, diag::kSoftwareVersionLength);
  Put8(packet, diag::kVersionModelOffset, 0xB6);
  return Answer{std::move(packet), {}};
}

Answer IdentityService::Esn(HandsetContext&, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kEsnResponseSize, 0);
  packet[0] = diag::kEsn;
  PutLe32(packet, 1, options_.esn);
  return Answer{std::move(packet), {}};
}

Answer IdentityService::VendorQuery(HandsetContext&, std::span<const uint8_t> request) {
  const uint16_t subCommand = GetLe16(request, diag::kVendorSubCommandOffset);
  const uint8_t selector = request[diag::kVendorSelectorOffset];
  std::vector<uint8_t> packet(request.begin(), request.begin() + diag::kVendorResultOffset);
  if (subCommand == 0 && selector == 0) {
    Put8(packet, diag::kVendorResultOffset, options_.vendorByte);
  } else if (subCommand == 0 && selector == 6) {
    PutText(packet, diag::kVendorResultOffset, options_.vendorText, diag::kVendorTextLength);
  } else if (subCommand == 20) {
    PutLe32(packet, diag::kVendorResultOffset, options_.vendorValue20);
  } else if (subCommand == 21) {
    PutLe32(packet, diag::kVendorResultOffset, options_.vendorValue21);
  } else {
    return ErrorAnswer(diag::kBadParameter, request);
  }
  return Answer{std::move(packet), {}};
}

}  // namespace rb310
