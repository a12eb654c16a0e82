#include "services/flash_store.h"

#include <algorithm>
#include <system_error>

#include "platform/atomic_file.h"

namespace rb310 {
namespace fs = std::filesystem;

namespace {
constexpr uint8_t kErasedByte = 0xFF;
}  // namespace

FlashStore::FlashStore(fs::path directory, std::size_t capacity)
    : directory_(std::move(directory)), capacity_(capacity) {}

const char* FlashStore::FileName(FlashRegion region) {
  switch (region) {
    case FlashRegion::kBootLoader: return "boot_loader.bin";
    case FlashRegion::kBootImage: return "boot_image.bin";
    case FlashRegion::kMainImage: return "main_image.bin";
  }
  return "unknown.bin";
}

fs::path FlashStore::PathOf(FlashRegion region) const { return directory_ / FileName(region); }

bool FlashStore::Begin(FlashRegion region) {
  const bool stored = Commit();
  if (!stored) return false;
  open_ = region;
  erased_ = false;
  bytes_.clear();
  return true;
}

bool FlashStore::Ensure(FlashRegion region) { return open_ == region || Begin(region); }

void FlashStore::Erase() {
  if (!open_) return;
  bytes_.clear();
  erased_ = true;
}

FlashStore::WriteResult FlashStore::Write(uint32_t address, std::span<const uint8_t> data) {
  if (!open_) return WriteResult::kNoBurnOpen;
  if (!erased_) return WriteResult::kNotErased;
  const std::size_t end = std::size_t{address} + data.size();
  if (end > capacity_) return WriteResult::kBeyondCapacity;
  if (bytes_.size() < end) bytes_.resize(end, kErasedByte);
  std::copy(data.begin(), data.end(), bytes_.begin() + address);
  return WriteResult::kWritten;
}

bool FlashStore::Commit() {
  if (!open_) return true;
  const fs::path target = PathOf(*open_);
  const std::vector<uint8_t> bytes = std::move(bytes_);
  Abandon();
  std::error_code error;
  return zk::platform::WriteFileAtomically(target, bytes, error);
}

void FlashStore::Abandon() {
  open_.reset();
  erased_ = false;
  bytes_.clear();
}

}  // namespace rb310
