// The handset's downloader: the packets it answers after the switch to the
// downloader (or from the start, for a handset whose firmware no longer
// starts). Every packet it accepts gets the acknowledgement 0x02, every one
// it refuses the negative acknowledgement 0x03.
//
//   0x20 boot initialise   begins a boot loader burn      0x22 boot erase   erases it
//   0x28 boot image init   begins and erases a boot image burn
//   0x21 initialise        begins a main image burn       0x04 erase        erases it
//   0x01 write block       places the block's meaningful bytes at its address
//   0x25 finalise          stores the open burn           0x26 EFS erase    empties the file system
//   0x29 select rate       selector 1: listens at 460800 bit/s after the answer
//                          (a physical line only; on the USB modem port rates do
//                          not matter); selector 0: 115200. Refused with the
//                          reject-fast-rate fault.
//   0x0A reset             answers, then restarts (an unfinished burn is lost)
//
// Writes are refused before their region is erased, and erases before their
// burn was begun, so a host that skips or reorders a step sees it refused.
#pragma once

#include <filesystem>
#include <functional>
#include <span>

#include "core/service.h"
#include "services/file_system_service.h"
#include "services/flash_store.h"

namespace rb310 {

class DownloaderService : public Service {
 public:
  // The burned images go to `flashDirectory`; the EFS erase empties
  // `fileSystem`.
  DownloaderService(std::filesystem::path flashDirectory, FileSystemService& fileSystem)
      : flash_(std::move(flashDirectory)), fileSystem_(fileSystem) {}

  const char* name() const override { return "downloader"; }
  void Register(Dispatchers& dispatchers) override;
  // A burn not finalised is lost.
  void OnRestart() override { flash_.Abandon(); }

  FlashStore& flash() { return flash_; }
  // Run after a main image burn is stored (the handset's NV may go with it).
  void OnImageStored(std::function<void()> hook) { imageStored_ = std::move(hook); }
  void OnEfsErased(std::function<void()> hook) { efsErased_ = std::move(hook); }

 private:
  Answer Begin(FlashRegion region);
  Answer EraseRegion(std::span<const uint8_t> request, FlashRegion region, const char* begun);
  Answer WriteBlock(HandsetContext& context, std::span<const uint8_t> request);
  Answer Finalize(HandsetContext& context, std::span<const uint8_t> request);
  Answer EraseEfs(HandsetContext& context, std::span<const uint8_t> request);
  Answer SelectRate(HandsetContext& context, std::span<const uint8_t> request);
  Answer Reset(HandsetContext& context, std::span<const uint8_t> request);
  Answer BootInitialize(HandsetContext& context, std::span<const uint8_t> request);
  Answer BootImageInitialize(HandsetContext& context, std::span<const uint8_t> request);

  FlashStore flash_;
  FileSystemService& fileSystem_;
  std::function<void()> imageStored_;
  std::function<void()> efsErased_;
};

}  // namespace rb310
