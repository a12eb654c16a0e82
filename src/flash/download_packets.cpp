#include "flash/download_packets.h"

#include <algorithm>

namespace zk::flash {

static_assert(field::WriteData::end == static_cast<std::size_t>(packet::kWriteBlock.length));
static_assert(field::Parameter::end <= static_cast<std::size_t>(packet::kBootInitialize.length) &&
              field::Parameter::end <= static_cast<std::size_t>(packet::kSelectFastRate.length));

WriteBlock BuildWriteBlock(std::span<uint8_t> buffer, std::span<const uint8_t> image, uint32_t address) {
  const auto length = static_cast<std::size_t>(packet::kWriteBlock.length);
  if (buffer.size() < length) return {};
  const auto bytes = buffer.first(length);
  const std::size_t start = std::min<std::size_t>(address, image.size());
  const std::size_t meaningful = std::min(image.size() - start, kBlockSize);
  diag::Write<field::Code>(bytes, packet::kWriteBlock.code);
  diag::Write<field::WriteAddress>(bytes, address);
  diag::Write<field::WriteLength>(bytes, static_cast<uint16_t>(meaningful));
  diag::Write<field::WriteData>(bytes, image.subspan(start, meaningful));
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(field::WriteData::offset + meaningful), bytes.end(),
            kBlockPadding);
  return {bytes, meaningful};
}

std::span<const uint8_t> BuildControlPacket(std::span<uint8_t> buffer, const DownloadPacketSpec& layout,
                                            uint8_t selector) {
  const auto length = static_cast<std::size_t>(layout.length);
  if (buffer.size() < length) return {};
  const auto bytes = buffer.first(length);
  std::fill(bytes.begin(), bytes.end(), uint8_t{0});
  diag::Write<field::Code>(bytes, layout.code);
  if (layout.code == packet::kBootInitialize.code) diag::Write<field::Parameter>(bytes, kBootInitializeParameter);
  if (layout.code == packet::kSelectFastRate.code) diag::Write<field::Parameter>(bytes, selector);
  return bytes;
}

}  // namespace zk::flash
