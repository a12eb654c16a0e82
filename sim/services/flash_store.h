// The handset's flash as its downloader sees it: three regions (boot loader,
// boot image, main image), each kept as a file in <state>/flash/ holding the
// bytes burned into it. A burn assembles its region in memory; the region's
// file is replaced in one step (written beside it, then renamed) when the
// burn is finalised or the next region's burn begins, so a reader never sees
// half an image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

enum class FlashRegion { kBootLoader, kBootImage, kMainImage };

class FlashStore {
 public:
  // The most one region holds; writes beyond it are refused.
  static constexpr std::size_t kDefaultCapacity = std::size_t{32} << 20;

  explicit FlashStore(std::filesystem::path directory, std::size_t capacity = kDefaultCapacity);

  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path PathOf(FlashRegion region) const;
  static const char* FileName(FlashRegion region);  // "main_image.bin"

  // Starts a new burn of `region`, first storing the burn still open. False
  // when that could not be stored (nothing is open then).
  bool Begin(FlashRegion region);
  // Like Begin, unless `region` is already open: then it stays as it is.
  bool Ensure(FlashRegion region);
  // Empties the open region (nothing when none is open); only an erased
  // region takes writes.
  void Erase();

  enum class WriteResult { kWritten, kNoBurnOpen, kNotErased, kBeyondCapacity };
  // Places `data` at `address` of the open, erased region; bytes never
  // written read as 0xFF, like erased flash.
  WriteResult Write(uint32_t address, std::span<const uint8_t> data);

  // Stores the open burn as its region's file and closes it. True when it
  // was stored or nothing was open.
  bool Commit();
  // Forgets the open burn without storing it (the handset restarted).
  void Abandon();

  std::optional<FlashRegion> openRegion() const { return open_; }
  std::size_t openSize() const { return bytes_.size(); }

 private:
  std::filesystem::path directory_;
  std::size_t capacity_;
  std::optional<FlashRegion> open_;
  bool erased_ = false;
  std::vector<uint8_t> bytes_;
};

}  // namespace rb310
