#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#include "flash/download_packets.h"

namespace {

using namespace zk::flash;

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

std::vector<uint8_t> Image(std::size_t size) {
  std::vector<uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
  return image;
}

TEST(DownloadPackets, A5000ByteImageIsThreeBlocksWithThePaddedTail) {
  const auto image = Image(5000);
  auto request = std::make_unique<diag_req_pkt_type>();
  const uint32_t expectedAddress[] = {0x0, 0x800, 0x1000};
  const std::size_t expectedLength[] = {2048, 2048, 904};
  for (int block = 0; block < 3; ++block) {
    std::fill(std::begin(request->req.bytes), std::end(request->req.bytes), 0xEE);
    const auto meaningful = BuildWriteBlock(*request, image, expectedAddress[block]);
    const uint8_t* bytes = request->req.bytes;
    EXPECT_EQ(meaningful, expectedLength[block]);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(Be32(bytes + 1), expectedAddress[block]);
    EXPECT_EQ(Be16(bytes + 5), expectedLength[block]);
    EXPECT_TRUE(std::equal(image.begin() + expectedAddress[block],
                           image.begin() + expectedAddress[block] + static_cast<long>(expectedLength[block]),
                           bytes + 7));
    // Everything up to the 2055th byte is data or 0x1A padding; nothing past it is touched.
    EXPECT_TRUE(std::all_of(bytes + 7 + expectedLength[block], bytes + 2055, [](uint8_t b) { return b == 0x1A; }));
    EXPECT_EQ(bytes[2055], 0xEE);
  }
  EXPECT_EQ(2055 - 7 - 904, 1144);  // the tail the protocol documents
}

TEST(DownloadPackets, AnAddressPastTheImageCarriesNoData) {
  const auto image = Image(4097);
  auto request = std::make_unique<diag_req_pkt_type>();
  EXPECT_EQ(BuildWriteBlock(*request, image, 4096), 1u);
  EXPECT_EQ(BuildWriteBlock(*request, image, 8192), 0u);
  EXPECT_EQ(Be16(request->req.bytes + 5), 0);
  EXPECT_EQ(BuildWriteBlock(*request, {}, 0), 0u);
}

TEST(DownloadPackets, ControlPacketsCarryTheirFixedParameters) {
  auto request = std::make_unique<diag_req_pkt_type>();
  std::fill(std::begin(request->req.bytes), std::end(request->req.bytes), 0xEE);
  EXPECT_EQ(BuildControlPacket(request->req.bytes, packet::kBootInitialize).size(), 2u);
  EXPECT_EQ(request->req.bytes[0], 0x20);
  EXPECT_EQ(request->req.bytes[1], 2);

  EXPECT_EQ(BuildControlPacket(request->req.bytes, packet::kErase).size(), 4u);
  EXPECT_EQ(request->req.bytes[0], 0x04);
  EXPECT_EQ(Be32(request->req.bytes) & 0x00FFFFFF, 0u);

  EXPECT_EQ(BuildControlPacket(request->req.bytes, packet::kSelectFastRate, 1).size(), 2055u);
  EXPECT_EQ(request->req.bytes[0], 0x29);
  EXPECT_EQ(request->req.bytes[1], 1);
  EXPECT_TRUE(std::all_of(request->req.bytes + 2, request->req.bytes + 2055, [](uint8_t b) { return b == 0; }));
}

}  // namespace
