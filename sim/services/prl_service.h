// The preferred roaming lists: block-by-block writes and reads of both NAMs
// over the store in <state>/prl. A restart abandons a write in progress; the
// stored lists stay as they were.
#pragma once

#include <filesystem>
#include <span>

#include "core/service.h"
#include "services/prl_store.h"
#include "services/prl_write_session.h"
#include "services/service_options.h"

namespace rb310 {

class PrlService : public Service {
 public:
  PrlService(const PrlOptions& options, std::filesystem::path directory);

  const char* name() const override { return "PRL"; }
  void Register(Dispatchers& dispatchers) override;
  void OnRestart() override { write_.Abandon(); }

  PrlStore& store() { return store_; }
  const PrlWriteSession& writeSession() const { return write_; }

 private:
  Answer Write(HandsetContext& context, std::span<const uint8_t> request);
  Answer Read(HandsetContext& context, std::span<const uint8_t> request);

  std::size_t readBlockBytes_;
  PrlStore store_;
  PrlWriteSession write_;
};

}  // namespace rb310
