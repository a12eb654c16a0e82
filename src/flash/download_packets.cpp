#include "flash/download_packets.h"

#include <algorithm>
#include <cstring>

#include "diag/byte_order.h"

namespace zk::flash {

std::size_t BuildWriteBlock(diag_req_pkt_type& request, std::span<const uint8_t> image, uint32_t address) {
  const std::span<uint8_t> bytes(request.req.bytes, static_cast<std::size_t>(packet::kWriteBlock.length));
  const std::size_t available = address < image.size() ? image.size() - address : 0;
  const std::size_t meaningful = std::min(available, kBlockSize);
  bytes[0] = packet::kWriteBlock.code;
  diag::PutBe32(bytes, kWriteAddressOffset, address);
  diag::PutBe16(bytes, kWriteLengthOffset, static_cast<uint16_t>(meaningful));
  if (meaningful > 0) std::memcpy(bytes.data() + kWriteDataOffset, image.data() + address, meaningful);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(kWriteDataOffset + meaningful), bytes.end(), kBlockPadding);
  return meaningful;
}

void BuildControlPacket(diag_req_pkt_type& request, const DownloadPacketSpec& layout, uint8_t selector) {
  std::memset(request.req.bytes, 0, static_cast<std::size_t>(layout.length));
  request.req.bytes[0] = layout.code;
  if (layout.code == packet::kBootInitialize.code) request.req.bytes[1] = kBootInitializeParameter;
  if (layout.code == packet::kSelectFastRate.code) request.req.bytes[1] = selector;
}

}  // namespace zk::flash
