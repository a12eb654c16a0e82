#include "services/downloader_service.h"

#include <optional>
#include <string>

#include "core/byte_order.h"
#include "core/handset_context.h"
#include "services/download_codes.h"

namespace rb310 {
namespace {

Answer Ack(std::string note = {}) { return Answer{{dl::kAck}, {}, std::move(note)}; }
Answer Nak(const std::string& why) { return Answer{{dl::kNak}, {}, "refused: " + why}; }

// The address and meaningful length of a write-block packet; nullopt for
// packets too short to carry them.
std::optional<BlockFields> WriteFields(std::span<const uint8_t> request) {
  if (request.size() < dl::kWriteDataOffset || request[0] != dl::kWrite) return std::nullopt;
  return BlockFields{GetBe32(request, dl::kWriteAddressOffset), GetBe16(request, dl::kWriteLengthOffset)};
}

// Refuses a packet of any length but `size` before `handler` sees it.
CommandHandler Exactly(std::size_t size, const char* what, CommandHandler handler) {
  return [size, what, handler = std::move(handler)](HandsetContext& context, std::span<const uint8_t> request) {
    if (request.size() != size)
      return Nak(std::string(what) + " packet of " + std::to_string(request.size()) + " bytes, not " +
                 std::to_string(size));
    return handler(context, request);
  };
}

}  // namespace

void DownloaderService::Register(Dispatchers& dispatchers) {
  // Lengths are checked by the handlers: the downloader refuses a short
  // packet with its negative acknowledgement, not with a diagnostic error.
  Dispatcher& downloader = dispatchers.downloader;
  const auto erase = [this](FlashRegion region, const char* begun) {
    return [this, region, begun](HandsetContext&, std::span<const uint8_t> request) {
      return EraseRegion(request, region, begun);
    };
  };
  // The write block's own checks come first (their notes say what does not
  // add up); its length is checked after them.
  downloader.Add(dl::kWrite, {"write block", 1, false, Handler(this, &DownloaderService::WriteBlock), WriteFields});
  downloader.Add(dl::kErase, {"erase", 1, false,
                              Exactly(dl::kEraseRequestSize, "erase", erase(FlashRegion::kMainImage, "main image burn"))});
  downloader.Add(dl::kReset,
                 {"reset", 1, false, Exactly(dl::kResetRequestSize, "reset", Handler(this, &DownloaderService::Reset))});
  downloader.Add(dl::kBootInitialize,
                 {"boot initialise", 1, false,
                  Exactly(dl::kBootInitRequestSize, "boot initialise", Handler(this, &DownloaderService::BootInitialize))});
  downloader.Add(dl::kInitialize,
                 {"initialise", 1, false,
                  Exactly(dl::kInitializeRequestSize, "initialise",
                          [this](HandsetContext&, std::span<const uint8_t>) { return Begin(FlashRegion::kMainImage); })});
  downloader.Add(dl::kBootErase, {"boot erase", 1, false,
                                  Exactly(dl::kBootEraseRequestSize, "boot erase",
                                          erase(FlashRegion::kBootLoader, "boot loader burn"))});
  downloader.Add(dl::kFinalize, {"finalise", 1, false,
                                 Exactly(dl::kFinalizeRequestSize, "finalise", Handler(this, &DownloaderService::Finalize))});
  downloader.Add(dl::kEraseEfs, {"EFS erase", 1, false,
                                 Exactly(dl::kEraseEfsRequestSize, "EFS erase", Handler(this, &DownloaderService::EraseEfs))});
  downloader.Add(dl::kBootImageInitialize,
                 {"boot image initialise", 1, false,
                  Exactly(dl::kBootImageInitRequestSize, "boot image initialise",
                          Handler(this, &DownloaderService::BootImageInitialize))});
  downloader.Add(dl::kSelectRate, {"select rate", 1, false,
                                   Exactly(dl::kSelectRateRequestSize, "rate", Handler(this, &DownloaderService::SelectRate))});
  downloader.SetFallback([](HandsetContext&, std::span<const uint8_t>) { return Nak("unknown packet"); });
}

Answer DownloaderService::Begin(FlashRegion region) {
  if (!flash_.Begin(region)) return Nak("the burn before could not be stored");
  return Ack();
}

Answer DownloaderService::EraseRegion(std::span<const uint8_t> request, FlashRegion region, const char* begun) {
  if (request.size() < dl::kEraseRequestSize) return Nak("short erase packet");
  if (flash_.openRegion() != region) return Nak(std::string("no ") + begun + " begun");
  flash_.Erase();
  return Ack();
}

Answer DownloaderService::WriteBlock(HandsetContext&, std::span<const uint8_t> request) {
  const auto fields = WriteFields(request);
  if (!fields) return Nak("short write packet");
  if (fields->length > dl::kBlockSize) return Nak("length beyond a block");
  if (request.size() < dl::kWriteDataOffset + fields->length) return Nak("length beyond the packet");
  if (request.size() != dl::kWriteRequestSize)
    return Nak("write packet of " + std::to_string(request.size()) + " bytes, not " +
               std::to_string(dl::kWriteRequestSize));
  switch (flash_.Write(fields->address, request.subspan(dl::kWriteDataOffset, fields->length))) {
    case FlashStore::WriteResult::kWritten: return Ack();
    case FlashStore::WriteResult::kNoBurnOpen: return Nak("no burn begun");
    case FlashStore::WriteResult::kNotErased: return Nak("region not erased");
    case FlashStore::WriteResult::kBeyondCapacity: return Nak("beyond the flash");
  }
  return Nak("write failed");
}

Answer DownloaderService::Finalize(HandsetContext&, std::span<const uint8_t>) {
  const auto region = flash_.openRegion();
  if (!flash_.Commit()) return Nak("the burn could not be stored");
  if (region == FlashRegion::kMainImage && imageStored_) imageStored_();
  return Ack(region ? std::string("stored ") + FlashStore::FileName(*region) : std::string());
}

Answer DownloaderService::EraseEfs(HandsetContext&, std::span<const uint8_t> request) {
  if (request.size() < dl::kEraseRequestSize) return Nak("short erase packet");
  if (!fileSystem_.Erase()) return Nak("the file system could not be erased");
  if (efsErased_) efsErased_();
  return Ack("file system erased");
}

Answer DownloaderService::SelectRate(HandsetContext& context, std::span<const uint8_t> request) {
  if (request.size() < dl::kSelectRateRequestSize) return Nak("short rate packet");
  uint32_t rate = 0;
  switch (request[1]) {
    case dl::kSelectorStandard: rate = dl::kStandardRate; break;
    case dl::kSelectorFast:
      if (context.faults().options().rejectFastRate) return Nak("460800 bit/s not supported");
      rate = dl::kFastRate;
      break;
    default: return Nak("unknown rate selector");
  }
  // The answer still leaves at the old rate; the new one holds from then.
  Answer answer = Ack("listening at " + std::to_string(rate));
  answer.afterSend = [rate](HandsetContext& handset, int64_t) { handset.SetLineRate(rate); };
  return answer;
}

Answer DownloaderService::Reset(HandsetContext&, std::span<const uint8_t>) {
  Answer answer = Ack("restarting");
  answer.afterSend = [](HandsetContext& handset, int64_t sentMs) { handset.BeginRestart(sentMs); };
  return answer;
}

Answer DownloaderService::BootInitialize(HandsetContext&, std::span<const uint8_t> request) {
  if (request.size() < dl::kBootInitRequestSize) return Nak("short boot initialise packet");
  return Begin(FlashRegion::kBootLoader);
}

Answer DownloaderService::BootImageInitialize(HandsetContext&, std::span<const uint8_t>) {
  // The boot image has no erase packet of its own: initialising erases it.
  Answer answer = Begin(FlashRegion::kBootImage);
  flash_.Erase();
  return answer;
}

}  // namespace rb310
