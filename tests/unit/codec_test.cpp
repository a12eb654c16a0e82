// The frame check sequence, byte stuffing and frame assembly, without a port.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "diag/crc16.h"
#include "diag/frame_assembler.h"
#include "diag/frame_codec.h"
#include "support/pty_peer.h"
#include "zkdownload/zkcomm.h"

namespace {

using zk::test::Bytes;
using zk::test::EncodeForWire;

uint16_t Crc(const Bytes& bytes, uint16_t preset = zk::diag::kCrcPreset) {
  return zk::diag::CrcUpdate(preset, bytes.data(), bytes.size());
}

TEST(Crc16, CheckValueOf123456789) {
  constexpr std::string_view kText = "123456789";
  EXPECT_EQ(zk::diag::FrameCheck(reinterpret_cast<const uint8_t*>(kText.data()), kText.size()), 0x906E);
}

TEST(Crc16, TableEntries) {
  // From a cleared register one step yields the table entry of the byte.
  EXPECT_EQ(Crc({0x01}, 0), 0x1189);
  EXPECT_EQ(Crc({0x80}, 0), 0x8408);
  EXPECT_EQ(Crc({0xFF}, 0), 0x0F78);
}

TEST(Crc16, PacketFollowedByItsCheckLeavesTheGoodResidue) {
  Bytes packet = {0x4B, 0x13, 0x00, 0x7E, 0x7D, 0xFF};
  const uint16_t check = zk::diag::FrameCheck(packet.data(), packet.size());
  packet.push_back(static_cast<uint8_t>(check & 0xFF));
  packet.push_back(static_cast<uint8_t>(check >> 8));
  EXPECT_EQ(Crc(packet), zk::diag::kCrcGoodResidue);
  packet[2] ^= 0x01;
  EXPECT_NE(Crc(packet), zk::diag::kCrcGoodResidue);
}

class Codec : public ::testing::Test {
 protected:
  Bytes Encode(const Bytes& packet) {
    const int length = codec_->Encode(packet.data(), static_cast<int>(packet.size()));
    return Bytes(codec_->m_sendBuffer, codec_->m_sendBuffer + length);
  }
  // Decodes from a heap block of exactly the body's size, so reading past
  // the body is caught by the address sanitizer.
  bool Decode(const Bytes& body) {
    const auto copy = std::make_unique<uint8_t[]>(body.size() + (body.empty() ? 1 : 0));
    std::copy(body.begin(), body.end(), copy.get());
    return codec_->Decode(copy.get(), static_cast<int>(body.size()));
  }
  Bytes Decoded() const { return Bytes(codec_->m_receiveBuffer, codec_->m_receiveBuffer + codec_->m_receiveLength); }

  std::unique_ptr<CAsync> codec_ = std::make_unique<CAsync>();
};

TEST_F(Codec, EscapesFlagAndEscapeBytes) {
  EXPECT_EQ(Encode({0x00, 0x7E, 0x7D}), (Bytes{0x00, 0x7D, 0x5E, 0x7D, 0x5D, 0x7A, 0x04, 0x7E}));
  EXPECT_EQ(codec_->m_sendLength, 8);
}

TEST_F(Codec, EscapesCheckBytes) {
  // Packets whose check sequence holds 0x7E and/or 0x7D.
  EXPECT_EQ(Encode({0x83, 0xF2}), (Bytes{0x83, 0xF2, 0x7D, 0x5E, 0x7D, 0x5D, 0x7E}));
  EXPECT_EQ(Encode({0x19}), (Bytes{0x19, 0x38, 0x7D, 0x5D, 0x7E}));
  EXPECT_EQ(Encode({0x60}), (Bytes{0x60, 0x7D, 0x5E, 0x93, 0x7E}));
}

TEST_F(Codec, EmptyPacketIsJustTheCheckAndTerminator) { EXPECT_EQ(Encode({}), EncodeForWire({})); }

TEST_F(Codec, PacketTooLargeForTheSendBufferIsRefused) {
  // Every byte escaped: the frame would need twice the packet size.
  const Bytes packet(CAsync::kBufferSize / 2, 0x7E);
  EXPECT_EQ(codec_->Encode(packet.data(), static_cast<int>(packet.size())), 0);
  EXPECT_EQ(codec_->m_sendLength, 0);
  EXPECT_EQ(codec_->Encode(packet.data(), -1), 0);
}

TEST_F(Codec, DecodesWhatItEncodes) {
  Bytes packet;
  for (int i = 0; i < 600; ++i) packet.push_back(static_cast<uint8_t>(i * 7));
  const Bytes frame = Encode(packet);
  ASSERT_EQ(frame, EncodeForWire(packet));
  ASSERT_TRUE(Decode(Bytes(frame.begin(), frame.end() - 1)));
  const Bytes decoded = Decoded();
  ASSERT_EQ(decoded.size(), packet.size() + 2);  // check bytes included
  EXPECT_EQ(Bytes(decoded.begin(), decoded.end() - 2), packet);
}

// The encoder copies runs and tests eight bytes at a time: a flag or escape
// byte at any place of any word, and packets of every short length, must
// come out exactly as byte-by-byte stuffing writes them.
TEST_F(Codec, EscapesAtEveryPlaceOfEveryLength) {
  ASSERT_EQ(Encode(Bytes{}), EncodeForWire(Bytes{}));
  for (std::size_t length = 1; length <= 40; ++length)
    for (std::size_t at = 0; at < length; ++at)
      for (const uint8_t special : {zk::diag::kFlag, zk::diag::kEscape}) {
        Bytes packet(length, 0x7C);  // neighbours of both special values
        for (std::size_t i = 0; i < length; i += 3) packet[i] = 0x7F;
        packet.at(at) = special;
        ASSERT_EQ(Encode(packet), EncodeForWire(packet)) << "length " << length << " at " << at;
      }
  Bytes dense;
  for (int i = 0; i < 4096; ++i) dense.push_back(static_cast<uint8_t>((i * 2654435761u) >> 13 & 1 ? 0x7E : 0x7D));
  EXPECT_EQ(Encode(dense), EncodeForWire(dense));
}

TEST_F(Codec, BadCheckIsRejected) {
  Bytes frame = EncodeForWire({0x26, 0x01, 0x02});
  frame.pop_back();
  frame[1] ^= 0x40;
  EXPECT_FALSE(Decode(frame));
}

TEST_F(Codec, LoneEscapeAtTheEndOfTheBodyIsBadAndNotReadPast) {
  Bytes body = EncodeForWire({0x26, 0x01});
  body.back() = 0x7D;  // the terminator's place holds an escape
  EXPECT_FALSE(Decode(body));
  EXPECT_FALSE(Decode({0x7D}));
  EXPECT_LE(codec_->m_receiveLength, 1);
}

TEST_F(Codec, EmptyBodiesAndImpossibleLengthsAreBad) {
  EXPECT_FALSE(Decode({}));
  EXPECT_FALSE(codec_->Decode(nullptr, -5));
  EXPECT_FALSE(codec_->Decode(nullptr, CAsync::kBufferSize + 1));
}

TEST_F(Codec, UnneededEscapesStillDecode) {
  // A sender may escape any byte; 0x7D 0x21 stands for 0x01.
  Bytes body = EncodeForWire({0x01, 0x02});
  body.pop_back();
  ASSERT_EQ(body[0], 0x01);
  body[0] = 0x21;
  body.insert(body.begin(), 0x7D);
  ASSERT_TRUE(Decode(body));
  EXPECT_EQ(Decoded()[0], 0x01);
}

// Frame assembly as the exchange runs it over received bytes.
class Assembly : public ::testing::Test {
 protected:
  using Event = zk::diag::FrameAssembler::Event;

  // Pushes every byte; returns the event of each.
  std::vector<Event> Push(const Bytes& bytes) {
    std::vector<Event> events;
    for (const uint8_t byte : bytes) events.push_back(assembler_.Push(byte));
    return events;
  }
  static Bytes Of(std::span<const uint8_t> view) { return Bytes(view.begin(), view.end()); }

  std::vector<uint8_t> storage_ = std::vector<uint8_t>(64);
  zk::diag::FrameAssembler assembler_{storage_.data(), storage_.size()};
};

TEST_F(Assembly, FirstFlagAfterAnotherByteEndsTheFrame) {
  const Bytes frame = EncodeForWire({0x0C, 0x7E});
  const auto events = Push(frame);
  for (std::size_t i = 0; i + 1 < events.size(); ++i) EXPECT_EQ(events[i], Event::None) << i;
  EXPECT_EQ(events.back(), Event::FrameEnded);
  EXPECT_EQ(Of(assembler_.Frame()), frame);
  EXPECT_EQ(Of(assembler_.Received()), frame);
}

TEST_F(Assembly, LeadingFlagsEndNothingAndAreSkipped) {
  const Bytes frame = EncodeForWire({0x0C, 0x01});
  Bytes stream = {0x7E, 0x7E, 0x7E};
  stream.insert(stream.end(), frame.begin(), frame.end());
  const auto events = Push(stream);
  EXPECT_EQ(std::count(events.begin(), events.end(), Event::FrameEnded), 1);
  EXPECT_EQ(events.back(), Event::FrameEnded);
  EXPECT_EQ(Of(assembler_.Frame()), frame);     // the same as without the flags
  EXPECT_EQ(Of(assembler_.Received()), stream);  // the trace keeps them
}

TEST_F(Assembly, NextByteAfterAFrameStartsANewOne) {
  Push(EncodeForWire({0x01}));
  const Bytes second = EncodeForWire({0x02});
  EXPECT_EQ(Push(second).back(), Event::FrameEnded);
  EXPECT_EQ(Of(assembler_.Frame()), second);
}

TEST_F(Assembly, StreamLongerThanTheStorageIsDroppedNotOverrun) {
  const auto events = Push(Bytes(storage_.size(), 0x41));
  EXPECT_EQ(std::count(events.begin(), events.end(), Event::None), static_cast<long>(storage_.size()));
  EXPECT_EQ(assembler_.Push(0x42), Event::Overflowed);
  EXPECT_EQ(Of(assembler_.Received()), Bytes{0x42});  // the byte starts over
  // A flag right after the overflow ends nothing: no frame byte came before it.
  Bytes storageFull(storage_.size() - 1, 0x41);
  Push(storageFull);
  EXPECT_EQ(assembler_.Push(0x7E), Event::Overflowed);
  EXPECT_EQ(assembler_.Push(0x7E), Event::None);
  EXPECT_EQ(assembler_.Push(0x43), Event::None);
  EXPECT_EQ(assembler_.Push(0x7E), Event::FrameEnded);
  EXPECT_EQ(Of(assembler_.Frame()), (Bytes{0x43, 0x7E}));
}

}  // namespace
