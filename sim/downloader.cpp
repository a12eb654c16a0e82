#include "downloader.h"

#include <string>
#include <system_error>

#include "core/byte_order.h"
#include "services/download_codes.h"
#include "services/flash_store.h"
#include "handset.h"

namespace rb310 {
namespace {

Answer Ack(std::string note = {}) { return Answer{{dl::kAck}, {}, std::move(note)}; }
Answer Nak(const std::string& why) { return Answer{{dl::kNak}, {}, "refused: " + why}; }

Answer Begin(Handset& handset, FlashRegion region) {
  if (!handset.flash().Begin(region)) return Nak("the burn before could not be stored");
  return Ack();
}

Answer EraseRegion(Handset& handset, std::span<const uint8_t> request, FlashRegion region, const char* begun) {
  if (request.size() < dl::kEraseRequestSize) return Nak("short erase packet");
  if (handset.flash().openRegion() != region) return Nak(std::string("no ") + begun + " begun");
  handset.flash().Erase();
  return Ack();
}

Answer WriteBlock(Handset& handset, std::span<const uint8_t> request) {
  const auto fields = ParseWriteFields(request);
  if (!fields) return Nak("short write packet");
  if (fields->length > dl::kBlockSize) return Nak("length beyond a block");
  if (request.size() < dl::kWriteDataOffset + fields->length) return Nak("length beyond the packet");
  switch (handset.flash().Write(fields->address, request.subspan(dl::kWriteDataOffset, fields->length))) {
    case FlashStore::WriteResult::kWritten: return Ack();
    case FlashStore::WriteResult::kNoBurnOpen: return Nak("no burn begun");
    case FlashStore::WriteResult::kNotErased: return Nak("region not erased");
    case FlashStore::WriteResult::kBeyondCapacity: return Nak("beyond the flash");
  }
  return Nak("write failed");
}

Answer Finalize(Handset& handset, std::span<const uint8_t>) {
  const auto region = handset.flash().openRegion();
  if (!handset.flash().Commit()) return Nak("the burn could not be stored");
  return Ack(region ? std::string("stored ") + FlashStore::FileName(*region) : std::string());
}

Answer EraseEfs(Handset& handset, std::span<const uint8_t> request) {
  if (request.size() < dl::kEraseRequestSize) return Nak("short erase packet");
  if (!EmptyDirectory(handset.efsDirectory())) return Nak("the file system could not be erased");
  return Ack("file system erased");
}

Answer SelectRate(Handset& handset, std::span<const uint8_t> request) {
  if (request.size() < dl::kSelectRateRequestSize) return Nak("short rate packet");
  uint32_t rate = 0;
  switch (request[1]) {
    case dl::kSelectorStandard: rate = dl::kStandardRate; break;
    case dl::kSelectorFast:
      if (handset.faults().options().rejectFastRate) return Nak("460800 bit/s not supported");
      rate = dl::kFastRate;
      break;
    default: return Nak("unknown rate selector");
  }
  // The answer still leaves at the old rate; the new one holds from then.
  Answer answer = Ack("listening at " + std::to_string(rate));
  answer.afterSend = [rate](Handset& h, int64_t) { h.SetDiagBaud(rate); };
  return answer;
}

Answer Reset(Handset&, std::span<const uint8_t>) {
  Answer answer = Ack("restarting");
  answer.afterSend = [](Handset& h, int64_t sentMs) { h.BeginRestart(sentMs); };
  return answer;
}

Answer BootInitialize(Handset& handset, std::span<const uint8_t> request) {
  if (request.size() < dl::kBootInitRequestSize) return Nak("short boot initialise packet");
  return Begin(handset, FlashRegion::kBootLoader);
}

Answer BootErase(Handset& handset, std::span<const uint8_t> request) {
  return EraseRegion(handset, request, FlashRegion::kBootLoader, "boot loader burn");
}

Answer BootImageInitialize(Handset& handset, std::span<const uint8_t>) {
  // The boot image has no erase packet of its own: initialising erases it.
  Answer answer = Begin(handset, FlashRegion::kBootImage);
  handset.flash().Erase();
  return answer;
}

Answer Initialize(Handset& handset, std::span<const uint8_t>) { return Begin(handset, FlashRegion::kMainImage); }

Answer Erase(Handset& handset, std::span<const uint8_t> request) {
  return EraseRegion(handset, request, FlashRegion::kMainImage, "main image burn");
}

}  // namespace

std::optional<WriteFields> ParseWriteFields(std::span<const uint8_t> request) {
  if (request.size() < dl::kWriteDataOffset || request[0] != dl::kWrite) return std::nullopt;
  return WriteFields{GetBe32(request, dl::kWriteAddressOffset), GetBe16(request, dl::kWriteLengthOffset)};
}

bool EmptyDirectory(const std::filesystem::path& directory) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(directory, error);
  if (error) return false;
  bool emptied = true;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    // remove_all removes a link itself, never what it points to.
    std::error_code removeError;
    fs::remove_all(it->path(), removeError);
    if (removeError) emptied = false;
  }
  return emptied && !error;
}

void AddDownloaderCommands(CommandTable& table) {
  // Lengths are checked by the handlers: the downloader refuses a short
  // packet with its negative acknowledgement, not with a diagnostic error.
  table.Add(dl::kWrite, {"write block", 1, false, WriteBlock});
  table.Add(dl::kErase, {"erase", 1, false, Erase});
  table.Add(dl::kReset, {"reset", 1, false, Reset});
  table.Add(dl::kBootInitialize, {"boot initialise", 1, false, BootInitialize});
  table.Add(dl::kInitialize, {"initialise", 1, false, Initialize});
  table.Add(dl::kBootErase, {"boot erase", 1, false, BootErase});
  table.Add(dl::kFinalize, {"finalise", 1, false, Finalize});
  table.Add(dl::kEraseEfs, {"EFS erase", 1, false, EraseEfs});
  table.Add(dl::kBootImageInitialize, {"boot image initialise", 1, false, BootImageInitialize});
  table.Add(dl::kSelectRate, {"select rate", 1, false, SelectRate});
  table.SetFallback([](Handset&, std::span<const uint8_t>) { return Nak("unknown packet"); });
}

}  // namespace rb310
