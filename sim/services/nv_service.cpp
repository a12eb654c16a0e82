#include "services/nv_service.h"

#include <algorithm>

#include "core/byte_order.h"
#include "core/handset_context.h"
#include "services/diag_codes.h"
#include "services/nv_items.h"
#include "services/nv_seed.h"

namespace rb310 {

NvService::NvService(const NvOptions& options, std::filesystem::path directory, uint32_t factoryEsn)
    : namItems_(options.namItems.empty() ? DefaultNamItems() : options.namItems),
      guardReads_(options.guardReads),
      store_(std::move(directory)),
      seed_{factoryEsn, options.calibrated} {}

void NvService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  diagnostic.Add(diag::kNvRead, {"nv read", diag::kNvPacketSize, guardReads_,
                                 [this](HandsetContext& context, std::span<const uint8_t> request) {
                                   return Access(context, request, false);
                                 }});
  diagnostic.Add(diag::kNvWrite, {"nv write", diag::kNvPacketSize, true,
                                  [this](HandsetContext& context, std::span<const uint8_t> request) {
                                    return Access(context, request, true);
                                  }});
}

Answer NvService::Access(HandsetContext& context, std::span<const uint8_t> request, bool write) {
  std::vector<uint8_t> packet(request.begin(), request.begin() + diag::kNvPacketSize);
  const uint16_t item = GetLe16(request, diag::kNvItemOffset);
  NvData data{};
  std::copy_n(request.begin() + diag::kNvDataOffset, data.size(), data.begin());
  const int index = IsNamItem(item) ? data[0] : -1;

  uint16_t status = nv::kDone;
  if (index >= kNamCount) {
    status = nv::kBadParameter;
  } else if (const auto fault = context.faults().NvStatus(item, index, write)) {
    status = *fault;
  } else if (write) {
    if (!store_.Write(item, index, data)) status = nv::kFail;
  } else if (const auto stored = store_.Read(item, index)) {
    PutBytes(packet, diag::kNvDataOffset, *stored);
  } else if (const auto seeded = SeedValue(item, index, seed_)) {
    // What the handset came with (the ESN item mirrors its serial number).
    PutBytes(packet, diag::kNvDataOffset, *seeded);
  } else {
    status = nv::kNotActive;
  }
  PutLe16(packet, diag::kNvStatusOffset, status);
  return Answer{std::move(packet), {}};
}

}  // namespace rb310
