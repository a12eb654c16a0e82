// The handset's NV items: reads and writes with their statuses, over the
// store in <state>/nv. Every write is stored at once, so a restart forgets
// nothing here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <span>

#include "core/service.h"
#include "services/nv_seed.h"
#include "services/nv_store.h"
#include "services/service_options.h"

namespace rb310 {

class NvService : public Service {
 public:
  // Items never written answer what the handset came with (nv_seed.h): item 0
  // reads as `factoryEsn`.
  NvService(const NvOptions& options, std::filesystem::path directory, uint32_t factoryEsn);

  const char* name() const override { return "NV"; }
  void Register(Dispatchers& dispatchers) override;

  NvStore& store() { return store_; }
  bool IsNamItem(uint16_t item) const { return namItems_.count(item) != 0; }

 private:
  // Read and write share the layout: the answer echoes the request with the
  // data and the status filled in.
  Answer Access(HandsetContext& context, std::span<const uint8_t> request, bool write);

  std::set<uint16_t> namItems_;
  bool guardReads_ = false;
  NvStore store_;
  NvSeedSource seed_;
};

}  // namespace rb310
