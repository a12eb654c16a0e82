// The download protocol's packets: command code, bytes sent and the time one
// try waits for the acknowledgement, and the builders that fill them into
// byte spans. Addresses, lengths and parameters are big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "diag/field_layout.h"
#include "zkdownload/diag_packet.h"

namespace zk::flash {

struct DownloadPacketSpec {
  uint8_t code;
  int length;  // bytes sent
  int waitMs;  // time-out of one try
};

// clang-format off
namespace packet {
//                                                   code  bytes  wait ms
inline constexpr DownloadPacketSpec kWriteBlock        {0x01, 2055, 10000};
inline constexpr DownloadPacketSpec kErase             {0x04,    4, 30000};
inline constexpr DownloadPacketSpec kReset             {0x0A,    5,  2000};
inline constexpr DownloadPacketSpec kBootInitialize    {0x20,    2, 10000};
inline constexpr DownloadPacketSpec kInitialize        {0x21,    1, 30000};
inline constexpr DownloadPacketSpec kBootErase         {0x22,    4, 30000};
inline constexpr DownloadPacketSpec kFinalize          {0x25,    1, 10000};
inline constexpr DownloadPacketSpec kEraseEfs          {0x26,    4, 30000};
inline constexpr DownloadPacketSpec kBootImageInitialize{0x28,   1, 10000};
inline constexpr DownloadPacketSpec kSelectFastRate    {0x29, 2055, 30000};
}  // namespace packet
// clang-format on

inline constexpr std::size_t kBlockSize = 2048;
inline constexpr uint8_t kBlockPadding = 0x1A;
inline constexpr uint8_t kBootInitializeParameter = 2;

namespace field {
using Code = diag::U8<0>;
using WriteAddress = diag::Be32<1>;
using WriteLength = diag::Be16<5>;
using WriteData = diag::ByteRun<7, kBlockSize>;
using Parameter = diag::U8<1>;  // the boot initialise parameter, the rate selector
}  // namespace field

struct WriteBlock {
  std::span<const uint8_t> packet;  // the bytes to send; empty when the buffer was too short
  std::size_t dataBytes = 0;        // meaningful image bytes in it
};

// Fills `buffer` with the write packet for the block of `image` that starts
// at `address`: up to kBlockSize meaningful bytes, the rest padded with 0x1A.
// No meaningful bytes when the address lies past the image.
WriteBlock BuildWriteBlock(std::span<uint8_t> buffer, std::span<const uint8_t> image, uint32_t address);
// The same into a whole request packet; returns the meaningful bytes.
inline std::size_t BuildWriteBlock(diag_req_pkt_type& request, std::span<const uint8_t> image, uint32_t address) {
  return BuildWriteBlock(std::span<uint8_t>(request.req.bytes), image, address).dataBytes;
}

// Fills `buffer` with a packet that carries only its code and its fixed
// parameters (every packet but the write block), all zero except where the
// protocol fixes a value; returns the bytes to send (empty when the buffer
// is too short).
std::span<const uint8_t> BuildControlPacket(std::span<uint8_t> buffer, const DownloadPacketSpec& layout,
                                            uint8_t selector = 0);

}  // namespace zk::flash
