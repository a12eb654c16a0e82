#include "services/prl_service.h"

#include <algorithm>

#include "core/byte_order.h"
#include "services/diag_codes.h"

namespace rb310 {

PrlService::PrlService(const PrlOptions& options, std::filesystem::path directory)
    : readBlockBytes_(options.readBlockBytes), store_(std::move(directory)), write_(store_, options.maxBytes) {}

void PrlService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  diagnostic.Add(diag::kPrlWrite, {"prl write", diag::kPrlWriteRequestSize, true, Handler(this, &PrlService::Write)});
  diagnostic.Add(diag::kPrlRead, {"prl read", diag::kPrlReadRequestSize, false, Handler(this, &PrlService::Read)});
}

Answer PrlService::Write(HandsetContext&, std::span<const uint8_t> request) {
  const uint8_t sequence = request[diag::kPrlWriteSeqOffset];
  const bool more = request[diag::kPrlWriteMoreOffset] != 0;
  const uint8_t nam = request[diag::kPrlWriteNamOffset];
  const uint16_t bits = GetLe16(request, diag::kPrlWriteBitsOffset);

  uint8_t status = diag::kPrlBadBlock;
  if (nam < kNamCount && bits <= diag::kPrlBlockBytes * 8) {
    const std::size_t count = (bits + 7u) / 8u;
    status = write_.WriteBlock(nam, sequence, more, request.subspan(diag::kPrlWriteDataOffset, count));
  }
  std::vector<uint8_t> packet(diag::kPrlWriteResponseSize, 0);
  packet[0] = diag::kPrlWrite;
  packet[1] = status;
  PutLe16(packet, 2, status == diag::kPrlNotStored ? nv::kFail : nv::kDone);
  return Answer{std::move(packet), {}};
}

Answer PrlService::Read(HandsetContext&, std::span<const uint8_t> request) {
  const uint8_t sequence = request[diag::kPrlReadSeqOffset];
  const uint8_t nam = request[diag::kPrlReadNamOffset];
  std::vector<uint8_t> packet(diag::kPrlReadDataOffset + readBlockBytes_, 0);
  packet[0] = diag::kPrlRead;
  packet[diag::kPrlReadAnswerSeqOffset] = sequence;

  const auto list = nam < kNamCount ? store_.Load(nam) : std::nullopt;
  if (nam >= kNamCount) {
    packet[diag::kPrlReadStatusOffset] = diag::kPrlBadBlock;
  } else if (!list) {
    packet[diag::kPrlReadStatusOffset] = diag::kPrlNotStored;
    PutLe16(packet, diag::kPrlReadNvStatusOffset, nv::kNotActive);
  } else {
    // Blocks are addressed by their one-byte sequence number, so a read
    // reaches the first 256 blocks (30 KB at the default block size, more
    // than the largest list the handset stores).
    const std::size_t start = std::min(list->size(), sequence * readBlockBytes_);
    const std::size_t count = std::min(readBlockBytes_, list->size() - start);
    std::copy_n(list->begin() + static_cast<std::ptrdiff_t>(start), count, packet.begin() + diag::kPrlReadDataOffset);
    packet[diag::kPrlReadMoreOffset] = start + count < list->size() ? 1 : 0;
    PutLe16(packet, diag::kPrlReadBitsOffset, static_cast<uint16_t>(count * 8));
  }
  return Answer{std::move(packet), {}};
}

}  // namespace rb310
