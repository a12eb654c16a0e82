// The command builders against the simulated handset: offline and reset, the
// unlock steps, the PRL transfers and the identity reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/library_objects.h"
#include "core/byte_order.h"
#include "core/dispatcher.h"
#include "handset.h"
#include "sim_link_fixture.h"

namespace {

namespace fs = std::filesystem;
using zk::test::DropCode;
using zk::test::Faults;
using zk::test::ForeignCode;
using zk::test::HexBytes;
using zk::test::SimLinkTest;
using zk::diag::OfflineResult;
using zk::diag::ResetResult;
using zk::diag::UnlockResult;
using Bytes = std::vector<uint8_t>;
using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

FilePtr OpenFile(const fs::path& path, const char* mode) { return FilePtr(std::fopen(path.c_str(), mode), &std::fclose); }

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Bytes Pattern(std::size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

// A handset in diagnostic mode with the link entered.
class Builders : public SimLinkTest {
 protected:
  void Enter(rb310::SimOptions options) {
    options.personality.startInDm = true;
    StartSim(std::move(options));
    ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  }
  void Enter() { Enter(Options()); }
};

TEST_F(Builders, GoOfflineGivesUpAfterTwelveAttempts) {
  Enter();
  rb310::FaultOptions neverUsable;
  neverUsable.neverUsable = true;
  sim_->SetFaults(neverUsable);
  const uint64_t modeBefore = Requests(0x29), statusBefore = Requests(0x0C);
  EXPECT_EQ(g_packetProcess.GoOffline(), OfflineResult::kNotConfirmed);
  EXPECT_EQ(Requests(0x29) - modeBefore, 12u);
  EXPECT_EQ(Requests(0x0C) - statusBefore, 12u);
  const auto offline = Frames(0x29);
  EXPECT_EQ(HexBytes(offline.back().hex), (Bytes{0x29, 0x01, 0x00}));
}

TEST_F(Builders, GoOfflineConfirmsAtOnceAndTellsSilenceFromAnotherAnswer) {
  Enter();
  EXPECT_EQ(g_packetProcess.GoOffline(), OfflineResult::kConfirmed);
  EXPECT_TRUE(sim_->state().offline);

  sim_->SetFaults(Faults({DropCode(0x29)}));
  EXPECT_EQ(g_packetProcess.GoOffline(), OfflineResult::kNoAnswer);
  sim_->SetFaults(Faults({ForeignCode(0x29, 0x13)}));
  EXPECT_EQ(g_packetProcess.GoOffline(), OfflineResult::kOtherCode);
  // A status request that goes unanswered confirms nothing, whatever an
  // earlier status answer showed.
  sim_->SetFaults(Faults({DropCode(0x0C)}));
  EXPECT_EQ(g_packetProcess.GoOffline(), OfflineResult::kNotConfirmed);
}

TEST_F(Builders, ResetClosesThePortAndRestartsTheHandset) {
  Enter();
  EXPECT_EQ(g_packetProcess.ResetPhone(), ResetResult::kDone);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(HexBytes(Frames(0x29).back().hex), (Bytes{0x29, 0x02, 0x00}));
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kRestarting);
}

TEST_F(Builders, UnansweredResetStillClosesThePort) {
  Enter();
  sim_->SetFaults(Faults({DropCode(0x29)}));
  EXPECT_EQ(g_packetProcess.ResetPhone(), ResetResult::kNoAnswer);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());

  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  sim_->SetFaults(Faults({ForeignCode(0x29, 0x14)}));
  EXPECT_EQ(g_packetProcess.ResetPhone(), ResetResult::kOtherCode);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

TEST_F(Builders, SwitchToDownloaderIsAcknowledged) {
  Enter();
  EXPECT_TRUE(g_packetProcess.SwitchToDownloader());
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kDownloader);
}

TEST_F(Builders, UnlockSucceedsEvenWhenTheHandsetRejectsTheCode) {
  auto options = Options();
  options.security.spc = "111111";
  Enter(options);
  EXPECT_TRUE(g_diagLink.UnlockSpc());
  EXPECT_FALSE(sim_->state().spcUnlocked);
  EXPECT_EQ(HexBytes(Frames(0x41).back().hex), (Bytes{0x41, '2', '7', '1', '8', '2', '8'}));

  EXPECT_FALSE(g_packetProcess.SendSpcCode("271828"));  // the caller's check does look at the answer
  EXPECT_TRUE(g_packetProcess.SendSpcCode("111111"));
  EXPECT_TRUE(sim_->state().spcUnlocked);
}

TEST_F(Builders, UnansweredUnlockIs39) {
  Enter();
  sim_->SetFaults(Faults({DropCode(0x41)}));
  EXPECT_FALSE(g_diagLink.UnlockSpc());
  EXPECT_EQ(g_diagLink.UnlockAndRelease(), UnlockResult::kNoAnswer);
  EXPECT_EQ(g_diagLink.UnlockAndTypeCode(), UnlockResult::kNoAnswer);
  EXPECT_EQ(Requests(0x21), 0u);  // nothing after the failed unlock
}

TEST_F(Builders, OverLongSpcArgumentSendsItsFirstSixCharacters) {
  auto options = Options();
  options.security.spc = "123456";
  Enter(options);
  g_diagLink.SetSpcCode("1234567890123456789");
  EXPECT_STREQ(g_diagLink.m_spcCode, "1234567");
  EXPECT_TRUE(g_diagLink.UnlockSpc());
  EXPECT_TRUE(sim_->state().spcUnlocked);
  EXPECT_EQ(HexBytes(Frames(0x41).back().hex), (Bytes{0x41, '1', '2', '3', '4', '5', '6'}));
}

TEST_F(Builders, UnlockAndReleasePressesTheTwoKeys) {
  Enter();
  EXPECT_EQ(g_diagLink.UnlockAndRelease(), UnlockResult::kUnlocked);
  EXPECT_EQ(g_packetProcess.m_keysEnabled, 1);
  EXPECT_TRUE(sim_->state().spcUnlocked);
  EXPECT_EQ(sim_->state().keysPressed, (Bytes{6, 81}));
}

TEST_F(Builders, TheKeypadIsReleasedAgainAfterTheHandsetRestarted) {
  auto options = Options();
  options.personality.restartDelayMs = 100;
  Enter(options);
  ASSERT_EQ(g_diagLink.UnlockAndRelease(), UnlockResult::kUnlocked);
  // The reset restarts the handset, whose keypad is locked again, and
  // closes the port; the next operation finds it in diagnostic mode.
  ASSERT_EQ(g_packetProcess.ResetPhone(), ResetResult::kDone);
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  ASSERT_EQ(g_diagLink.UnlockAndRelease(), UnlockResult::kUnlocked);
  EXPECT_EQ(Requests(0x21), 2u);
  EXPECT_EQ(sim_->state().keysPressed, (Bytes{6, 81, 6, 81}));
}

TEST_F(Builders, UnlockAndTypeCodeTypesTheConfiguredServiceSequence) {
  std::ofstream(home_.path() / "profile.ini") << "[Handset]\nServiceSequence=4725190\n";
  Enter();
  EXPECT_EQ(g_diagLink.UnlockAndTypeCode(), UnlockResult::kUnlocked);
  EXPECT_EQ(sim_->state().keysPressed, (Bytes{6, 81, '4', '7', '2', '5', '1', '9', '0', 81}));
}

TEST_F(Builders, PrlWriteOfAHundredBytesGoesInThreeBlocksAndReadsBack) {
  Enter();
  const Bytes list = Pattern(100, 0x30);
  const fs::path source = home_.path() / "list.prl";
  WriteAll(source, list);
  {
    auto file = OpenFile(source, "rb");
    ASSERT_TRUE(file);
    EXPECT_TRUE(g_packetProcess.WritePrl(1, file.get(), 100));
  }
  const auto blocks = Frames(0x48);
  ASSERT_EQ(blocks.size(), 3u);
  const uint16_t expectedBits[] = {320, 320, 160};
  const uint8_t expectedMore[] = {1, 1, 0};
  for (std::size_t i = 0; i < 3; ++i) {
    const Bytes request = HexBytes(blocks[i].hex);
    ASSERT_EQ(request.size(), 46u);
    EXPECT_EQ(request[1], i) << "sequence";
    EXPECT_EQ(request[2], expectedMore[i]) << "more flag";
    EXPECT_EQ(request[3], 1) << "NAM";
    EXPECT_EQ(rb310::GetLe16(request, 4), expectedBits[i]) << "bits";
    const std::size_t count = std::min<std::size_t>(40, 100 - i * 40);
    EXPECT_TRUE(std::equal(list.begin() + static_cast<long>(i * 40), list.begin() + static_cast<long>(i * 40 + count),
                           request.begin() + 6));
  }
  EXPECT_EQ(ReadAll(sim_->stateDir() / "prl" / "nam1.bin"), list);

  const fs::path copy = home_.path() / "back.prl";
  {
    auto file = OpenFile(copy, "wb");
    ASSERT_TRUE(file);
    EXPECT_EQ(g_packetProcess.ReadPrl(1, file.get()), zk::diag::PrlReadOutcome::kRead);
  }
  EXPECT_EQ(ReadAll(copy), list);
  EXPECT_EQ(HexBytes(Frames(0x49).front().hex), (Bytes{0x49, 0x00, 0x01}));
}

TEST_F(Builders, LongPrlReadsBackInSeveralAnswers) {
  auto options = Options();
  options.prl.readBlockBytes = 120;
  Enter(options);
  const Bytes list = Pattern(1000, 0x11);
  sim_->WithHandset([&](rb310::Handset& handset) { ASSERT_TRUE(handset.prl().store().Save(0, list)); });
  const fs::path copy = home_.path() / "nam0.prl";
  {
    auto file = OpenFile(copy, "wb");
    EXPECT_EQ(g_packetProcess.ReadPrl(0, file.get()), zk::diag::PrlReadOutcome::kRead);
  }
  EXPECT_EQ(ReadAll(copy), list);
  const auto reads = Frames(0x49);
  ASSERT_EQ(reads.size(), 9u);  // 8 x 120 + 40
  EXPECT_EQ(HexBytes(reads.back().hex), (Bytes{0x49, 0x08, 0x00}));
}

TEST_F(Builders, PrlReadNeverCopiesMoreThanTheAnswerCarried) {
  Enter();
  // The handset claims 0xFFF0 bits (8190 bytes) but sends 10 bytes of data.
  sim_->WithHandset([](rb310::Handset& handset) {
    handset.diagCommands().Add(0x49, {"prl read (lying)", 3, false, [](rb310::HandsetContext&, std::span<const uint8_t>) {
                                        Bytes packet = {0x49, 0, 0, 0, 0, /*more*/ 0, 0xF0, 0xFF};
                                        for (uint8_t i = 0; i < 10; ++i) packet.push_back(static_cast<uint8_t>('a' + i));
                                        return rb310::Answer{packet, {}};
                                      }});
  });
  const fs::path copy = home_.path() / "short.prl";
  {
    auto file = OpenFile(copy, "wb");
    EXPECT_EQ(g_packetProcess.ReadPrl(0, file.get()), zk::diag::PrlReadOutcome::kRead);
  }
  const Bytes got = ReadAll(copy);
  EXPECT_EQ(std::string(got.begin(), got.end()), "abcdefghij");
}

TEST_F(Builders, PrlWriteFailsWhenABlockIsNotAnswered) {
  Enter();
  sim_->SetFaults(Faults({DropCode(0x48)}));
  const fs::path source = home_.path() / "list.prl";
  WriteAll(source, Pattern(100, 1));
  auto file = OpenFile(source, "rb");
  EXPECT_FALSE(g_packetProcess.WritePrl(0, file.get(), 100));
  EXPECT_EQ(Requests(0x48), 2u);  // the first block, twice; nothing after it
}

TEST_F(Builders, EmptyPrlFileSendsNothing) {
  Enter();
  const fs::path source = home_.path() / "empty.prl";
  WriteAll(source, {});
  auto file = OpenFile(source, "rb");
  EXPECT_TRUE(g_packetProcess.WritePrl(0, file.get(), 0));
  EXPECT_EQ(Requests(0x48), 0u);
}

TEST_F(Builders, VersionLabelAndIdentityFromTheVendorAnswers) {
  auto options = Options();
  options.identity.softwareVersion = "R310V207";
  options.identity.vendorByte = 123;
  options.identity.vendorText = "RB310-B2-004711";
  options.identity.vendorValue20 = 0x01020304;
  options.identity.vendorValue21 = 57;
  options.identity.esn = 0x80A1B2C3;
  Enter(options);

  char label[16];
  std::memset(label, '#', sizeof(label));
  EXPECT_EQ(g_dlCommon.ReadVersionLabel(label), 1);
  EXPECT_STREQ(label, "R310V207_123");

  uint32_t esn = 0, value20 = 0, value21 = 0;
  char text[16] = {};
  EXPECT_EQ(g_dlCommon.ReadHandsetIdentity(esn, text, value20, value21), 1);
  EXPECT_EQ(esn, 0x80A1B2C3u);
  EXPECT_STREQ(text, "RB310-B2-004711");
  EXPECT_EQ(value20, 0x01020304u);
  EXPECT_EQ(value21, 57u);

  sim_->SetFaults(Faults({DropCode(0xFA)}));
  std::memset(label, '#', sizeof(label));
  EXPECT_EQ(g_dlCommon.ReadVersionLabel(label), 0);
  EXPECT_EQ(label[0], '#');  // untouched on failure
  EXPECT_EQ(g_dlCommon.ReadHandsetIdentity(esn, text, value20, value21), 0);
}

}  // namespace
