// The bytes the command builders put on the wire, the field helpers they use,
// and the small rules they apply to answers.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "support/library_objects.h"
#include "diag/byte_order.h"
#include "diag/diag_requests.h"
#include "diag_pty_fixture.h"
#include "flash/version_label.h"

namespace {

using zk::test::Bytes;
using zk::test::EncodeForWire;

TEST(ByteOrder, FieldsLandAtTheirOffsetsInBothOrders) {
  std::array<uint8_t, 8> bytes{};
  zk::diag::PutLe16(bytes, 1, 0x1234);
  zk::diag::PutLe32(bytes, 3, 0x0001C200);  // 115200
  EXPECT_EQ(bytes, (std::array<uint8_t, 8>{0x00, 0x34, 0x12, 0x00, 0xC2, 0x01, 0x00, 0x00}));
  EXPECT_EQ(zk::diag::GetLe16(bytes, 1), 0x1234);
  EXPECT_EQ(zk::diag::GetLe32(bytes, 3), 115200u);

  zk::diag::PutBe32(bytes, 0, 0x01020304);
  zk::diag::PutBe16(bytes, 4, 0xA0B0);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[3], 0x04);
  EXPECT_EQ(bytes[4], 0xA0);
  EXPECT_EQ(zk::diag::GetBe32(bytes, 0), 0x01020304u);
  EXPECT_EQ(zk::diag::GetBe16(bytes, 4), 0xA0B0);
}

TEST(ByteOrder, FieldsOutsideTheBufferAreNeitherWrittenNorRead) {
  std::array<uint8_t, 6> storage{1, 2, 3, 4, 5, 6};
  const std::span<uint8_t> packet(storage.data(), 4);  // the last two bytes lie outside
  zk::diag::PutLe32(packet, 1, 0xFFFFFFFF);
  zk::diag::PutLe16(packet, 3, 0xFFFF);
  zk::diag::PutBe16(packet, std::size_t(-1), 0xFFFF);
  EXPECT_EQ(storage, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(zk::diag::GetLe32(packet, 1), 0u);
  EXPECT_EQ(zk::diag::GetBe16(packet, 3), 0u);
  EXPECT_EQ(zk::diag::Get8(packet, 4), 0u);
  EXPECT_EQ(zk::diag::GetLe16(packet, 2), 0x0403);
}

TEST(StatusAnswer, UsableStates) {
  EXPECT_TRUE(zk::diag::IsUsableState(0, 6));
  EXPECT_TRUE(zk::diag::IsUsableState(5, 2));
  EXPECT_FALSE(zk::diag::IsUsableState(0, 2));
  EXPECT_FALSE(zk::diag::IsUsableState(5, 6));
  EXPECT_FALSE(zk::diag::IsUsableState(0, 0));
}

TEST(PrlReadAnswer, BitCountIsCappedAtWhatTheAnswerCarried) {
  // Decoded length = 8 header bytes + data + 2 check bytes.
  EXPECT_EQ(PrlReadDataBytes(120 * 8, 8 + 120 + 2), 120u);
  EXPECT_EQ(PrlReadDataBytes(40 * 8, 8 + 120 + 2), 40u);     // fewer claimed than carried: as claimed
  EXPECT_EQ(PrlReadDataBytes(0xFFFF, 8 + 20 + 2), 20u);      // more claimed than carried: what came
  EXPECT_EQ(PrlReadDataBytes(0xFFFF, 8 + 2), 0u);            // a header without data
  EXPECT_EQ(PrlReadDataBytes(800, 5), 0u);                   // shorter than the header
  EXPECT_EQ(PrlReadDataBytes(800, 0), 0u);
  EXPECT_EQ(PrlReadDataBytes(13, 8 + 10 + 2), 1u);           // whole bytes only
  // An answer longer than the response buffer: only what the buffer kept.
  EXPECT_EQ(PrlReadDataBytes(0xFFFF, 4000), sizeof(diag_rsp_type) - 8);
}

TEST(VersionLabel, VersionUnderscoreAndAtLeastTwoDigits) {
  EXPECT_EQ(zk::flash::FormatVersionLabel("R310V105", 7, 15), "R310V105_07");
  EXPECT_EQ(zk::flash::FormatVersionLabel("R310V105", 123, 15), "R310V105_123");
  EXPECT_EQ(zk::flash::FormatVersionLabel(std::string_view("R31\0V105", 8), 0, 15), "R31_00");
  EXPECT_EQ(zk::flash::FormatVersionLabel("ABCDEFGHIJKLMNOP", 255, 15), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(zk::flash::FormatVersionLabel("R310V105", 7, 5), "R310V");
}

class BuilderWire : public zk::test::DiagPtyTest {};

TEST_F(BuilderWire, KeypadReleaseThenKeysThenLockAgain) {
  bool released = false, pressed = false, locked = false;
  const auto requests = WithPeer(Replies({{0x21, 0x00, 0x00}, {0x20, 0x00, 0x35}, {0x21, 0x01, 0x00}}), [&] {
    released = g_packetProcess.SetKeyLock(0);
    EXPECT_TRUE(g_packetProcess.SetKeyLock(0));  // already released: nothing sent
    pressed = g_packetProcess.SendKey('5', 0);
    locked = g_packetProcess.SetKeyLock(1);
  });
  EXPECT_TRUE(released);
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(locked);
  EXPECT_EQ(g_packetProcess.m_keysEnabled, 0);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], EncodeForWire({0x21, 0x00, 0x00}));
  EXPECT_EQ(requests[1], EncodeForWire({0x20, 0x00, 0x35}));
  EXPECT_EQ(requests[2], EncodeForWire({0x21, 0x01, 0x00}));

  EXPECT_TRUE(g_packetProcess.SendKey('6', 0));  // locked: reported done, nothing sent
  EXPECT_TRUE(Leftover().empty());
}

TEST_F(BuilderWire, KeyLockRefusedLeavesTheKeypadLocked) {
  bool released = true;
  WithPeer(Replies({{0x13, 0x21}, {0x13, 0x21}}), [&] { released = g_packetProcess.SetKeyLock(0); });
  EXPECT_FALSE(released);
  EXPECT_EQ(g_packetProcess.m_keysEnabled, 0);
}

TEST_F(BuilderWire, UnlockSendsTheFirstSixCharactersOfTheStoredCode) {
  g_diagLink.SetSpcCode("1234567");
  g_diagLink.m_downloadMode = 1;
  bool result = false;
  const auto requests = WithPeer(Replies({{0x41, 0x01}}), [&] { result = g_diagLink.UnlockSpc(); });
  EXPECT_TRUE(result);
  EXPECT_EQ(g_diagLink.m_downloadMode, 0);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], EncodeForWire({0x41, '1', '2', '3', '4', '5', '6'}));
}

TEST_F(BuilderWire, SpcCodeOfTheCallerIsJudgedByTheAcceptanceByte) {
  bool accepted = false, refused = true;
  const auto requests = WithPeer(Replies({{0x41, 0x01}, {0x41, 0x00}}), [&] {
    accepted = g_packetProcess.SendSpcCode("654321");
    refused = g_packetProcess.SendSpcCode("12");
  });
  EXPECT_TRUE(accepted);
  EXPECT_FALSE(refused);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], EncodeForWire({0x41, '6', '5', '4', '3', '2', '1'}));
  EXPECT_EQ(requests[1], EncodeForWire({0x41, '1', '2', 0, 0, 0, 0}));
}

TEST_F(BuilderWire, OfflineResetAndDownloaderRequests) {
  Bytes status(48, 0);
  status[0] = 0x0C;
  status[8] = 1;   // mode word non-zero ...
  status[32] = 2;  // ... and phone state 2: offline
  auto reset = zk::diag::ResetResult::kNoAnswer;
  bool downloader = false;
  const auto requests =
      WithPeer(Replies({{0x29, 0x01, 0x00}, status, {0x29, 0x02, 0x00}, {0x3A}}), [&] {
        reset = g_packetProcess.ResetPhone();
        ASSERT_TRUE(g_diagLink.OpenPort(kPortIndex));  // the reset closed it
        downloader = g_packetProcess.SwitchToDownloader();
      });
  EXPECT_EQ(reset, zk::diag::ResetResult::kDone);
  EXPECT_TRUE(downloader);
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0], EncodeForWire({0x29, 0x01, 0x00}));
  EXPECT_EQ(requests[1], EncodeForWire({0x0C}));
  EXPECT_EQ(requests[2], EncodeForWire({0x29, 0x02, 0x00}));
  EXPECT_EQ(requests[3], EncodeForWire({0x3A}));
}

TEST_F(BuilderWire, OfflineFailureCodesTellSilenceFromAnotherAnswer) {
  auto silent = zk::diag::OfflineResult::kConfirmed, foreign = zk::diag::OfflineResult::kConfirmed;
  WithPeer(Silence(2), [&] { silent = g_packetProcess.GoOffline(); });
  WithPeer(Replies({{0x13, 0x29}, {0x13, 0x29}}), [&] { foreign = g_packetProcess.GoOffline(); });
  EXPECT_EQ(silent, zk::diag::OfflineResult::kNoAnswer);
  EXPECT_EQ(foreign, zk::diag::OfflineResult::kOtherCode);
}

TEST_F(BuilderWire, SpeedChangeRequestCarriesTheRateLittleEndian) {
  bool kept = false;
  // The handset answers everything at the old rate: the link stays there.
  const auto requests =
      WithPeer(Replies({{0x5C, 0x01}, {0x01, 1, 2, 3, 4}, {0x01, 1, 2, 3, 4}}), [&] { kept = g_diagLink.SpeedUp(); });
  EXPECT_TRUE(kept);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], EncodeForWire({0x5C, 0x01, 0x00, 0xC2, 0x01, 0x00}));
  EXPECT_EQ(requests[1], EncodeForWire({0x01}));
  EXPECT_EQ(g_diagLink.m_comm.lineConfig().baudRate, 38400u);
}

TEST_F(BuilderWire, IdentityReadsSendTheVendorQueriesInOrder) {
  Bytes version(55, 0);
  version[0] = 0x00;
  std::memcpy(version.data() + 39, "R310V105", 8);
  Bytes text(19, 0);
  text[0] = 0xFA;
  std::memcpy(text.data() + 4, "RB310-A1-000001", 15);

  std::array<char, 16> label{};
  uint32_t esn = 0, value20 = 0, value21 = 0;
  char vendorText[16] = {};
  int labelResult = 0, identityResult = 0;
  const auto requests = WithPeer(Replies({version,
                                          {0xFA, 0, 0, 0, 42},
                                          {0x01, 0x41, 0x2C, 0x3A, 0x9F},
                                          text,
                                          {0xFA, 0x14, 0, 6, 0x03, 0x02, 0x01, 0x00},
                                          {0xFA, 0x15, 0, 6, 0x05, 0x00, 0x00, 0x00}}),
                                 [&] {
                                   labelResult = g_dlCommon.ReadVersionLabel(label);
                                   identityResult = g_dlCommon.ReadHandsetIdentity(esn, vendorText, value20, value21);
                                 });
  EXPECT_EQ(labelResult, 1);
  EXPECT_STREQ(label.data(), "R310V105_42");
  EXPECT_EQ(identityResult, 1);
  EXPECT_EQ(esn, 0x9F3A2C41u);
  EXPECT_STREQ(vendorText, "RB310-A1-000001");
  EXPECT_EQ(value20, 0x00010203u);
  EXPECT_EQ(value21, 5u);
  ASSERT_EQ(requests.size(), 6u);
  EXPECT_EQ(requests[0], EncodeForWire({0x00}));
  EXPECT_EQ(requests[1], EncodeForWire({0xFA, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(requests[2], EncodeForWire({0x01}));
  EXPECT_EQ(requests[3], EncodeForWire({0xFA, 0x00, 0x00, 0x06, 0x00}));
  EXPECT_EQ(requests[4], EncodeForWire({0xFA, 0x14, 0x00, 0x06, 0x00}));
  EXPECT_EQ(requests[5], EncodeForWire({0xFA, 0x15, 0x00, 0x06, 0x00}));
}

TEST_F(BuilderWire, PrlReadRequestsCarrySequenceAndNam) {
  Bytes first = {0x49, 0, 0, 0, 0, 1, 16, 0, 'a', 'b'};
  Bytes last = {0x49, 0, 0, 0, 1, 0, 8, 0, 'c'};
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
  ASSERT_TRUE(file);
  auto read = zk::diag::PrlReadOutcome::kFailed;
  const auto requests = WithPeer(Replies({first, last}), [&] { read = g_packetProcess.ReadPrl(1, file.get()); });
  EXPECT_EQ(read, zk::diag::PrlReadOutcome::kRead);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], EncodeForWire({0x49, 0x00, 0x01}));
  EXPECT_EQ(requests[1], EncodeForWire({0x49, 0x01, 0x01}));
  std::rewind(file.get());
  char content[8] = {};
  EXPECT_EQ(std::fread(content, 1, sizeof(content), file.get()), 3u);
  EXPECT_STREQ(content, "abc");
}

}  // namespace
