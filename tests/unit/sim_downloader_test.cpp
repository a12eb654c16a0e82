// The simulated handset's downloader: burns assembled into the state
// directory, the order it insists on, the rate switch, the reset, the EFS
// erase, faults in download mode and the line pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "command_line.h"
#include "services/download_codes.h"
#include "sim_rig.h"
#include "wire/line_pacing.h"

namespace rb310::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const Bytes kAck{dl::kAck};
const Bytes kNak{dl::kNak};

SimOptions DownloaderOptions(bool usbModem = false) {
  SimOptions options;
  options.personality.startInDownloader = true;
  options.line.usbModem = usbModem;
  options.personality.restartDelayMs = 1000;
  return options;
}

// A write block as the host sends it: the data field is always a whole
// block, padded with 0x1A.
Bytes WritePacket(uint32_t address, const Bytes& data, std::size_t lengthField) {
  Bytes packet(dl::kWriteDataOffset + dl::kBlockSize, 0x1A);
  const uint8_t header[] = {dl::kWrite,
                            static_cast<uint8_t>(address >> 24),
                            static_cast<uint8_t>(address >> 16),
                            static_cast<uint8_t>(address >> 8),
                            static_cast<uint8_t>(address),
                            static_cast<uint8_t>(lengthField >> 8),
                            static_cast<uint8_t>(lengthField)};
  std::copy(std::begin(header), std::end(header), packet.begin());
  std::copy_n(data.begin(), std::min(data.size(), dl::kBlockSize), packet.begin() + dl::kWriteDataOffset);
  return packet;
}
Bytes WritePacket(uint32_t address, const Bytes& data) { return WritePacket(address, data, data.size()); }

Bytes Pattern(std::size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
  return bytes;
}

std::optional<Bytes> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

class Downloader : public ::testing::Test {
 protected:
  explicit Downloader(SimOptions options = DownloaderOptions()) : rig_(std::move(options)) {}

  // Sends `packet` as download mode does (three leading flags).
  std::optional<Bytes> Send(const Bytes& packet, uint32_t baud = 115200) {
    const Bytes out = rig_.Feed(zk::test::Frame(packet, 3), baud);
    if (out.empty()) return std::nullopt;
    return zk::test::FirstPacket(out);
  }
  fs::path Burned(const char* name) const { return rig_.stateDir() / "flash" / name; }
  std::string LastNote() { return rig_.handset().transcript().Entries().back().note; }

  HandsetRig rig_;
};

TEST_F(Downloader, AssemblesEachBurnAndStoresItWhenTheNextBeginsOrOnFinalise) {
  const Bytes boot = Pattern(3000, 1), logo = Pattern(100, 2), main = Pattern(5000, 3);

  EXPECT_EQ(Send({dl::kBootInitialize, 2}), kAck);
  EXPECT_EQ(Send({dl::kBootErase, 0, 0, 0}), kAck);
  EXPECT_EQ(Send(WritePacket(0, Bytes(boot.begin(), boot.begin() + 2048))), kAck);
  EXPECT_EQ(Send(WritePacket(0x800, Bytes(boot.begin() + 2048, boot.end()))), kAck);
  EXPECT_FALSE(fs::exists(Burned("boot_loader.bin"))) << "stored before the burn ended";

  EXPECT_EQ(Send({dl::kBootImageInitialize}), kAck);
  EXPECT_EQ(FileBytes(Burned("boot_loader.bin")), boot);
  EXPECT_EQ(Send(WritePacket(0, logo)), kAck);

  EXPECT_EQ(Send({dl::kInitialize}), kAck);
  EXPECT_EQ(FileBytes(Burned("boot_image.bin")), logo);
  EXPECT_EQ(Send({dl::kErase, 0, 0, 0}), kAck);
  // Out of order on purpose: each block lands at its own address, and only
  // its meaningful bytes count (not the 0x1A padding).
  EXPECT_EQ(Send(WritePacket(0x1000, Bytes(main.begin() + 4096, main.end()))), kAck);
  EXPECT_EQ(Send(WritePacket(0, Bytes(main.begin(), main.begin() + 2048))), kAck);
  EXPECT_EQ(Send(WritePacket(0x800, Bytes(main.begin() + 2048, main.begin() + 4096))), kAck);
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
  EXPECT_EQ(Send({dl::kFinalize}), kAck);
  EXPECT_EQ(FileBytes(Burned("main_image.bin")), main);
  EXPECT_EQ(LastNote(), "stored main_image.bin");

  const auto entries = rig_.handset().transcript().Entries();
  const auto& write = entries[entries.size() - 4];
  EXPECT_EQ(write.kind, "download");
  EXPECT_EQ(write.code, dl::kWrite);
  EXPECT_EQ(write.address, 0x1000);
  EXPECT_EQ(write.length, 904);
  EXPECT_NE(ToJsonLine(write).find("\"address\":4096,\"length\":904"), std::string::npos);
  EXPECT_EQ(entries.back().address, -1);
}

TEST_F(Downloader, NeverWrittenBytesReadAsErasedFlash) {
  EXPECT_EQ(Send({dl::kInitialize}), kAck);
  EXPECT_EQ(Send({dl::kErase, 0, 0, 0}), kAck);
  EXPECT_EQ(Send(WritePacket(0x800, {0xAB})), kAck);
  EXPECT_EQ(Send({dl::kFinalize}), kAck);
  Bytes expected(0x801, 0xFF);
  expected[0x800] = 0xAB;
  EXPECT_EQ(FileBytes(Burned("main_image.bin")), expected);
}

TEST_F(Downloader, RefusesStepsOutOfOrderAndPacketsThatDoNotAddUp) {
  EXPECT_EQ(Send(WritePacket(0, {1, 2, 3})), kNak);
  EXPECT_EQ(LastNote(), "refused: no burn begun");
  EXPECT_EQ(Send({dl::kErase, 0, 0, 0}), kNak);
  EXPECT_EQ(Send({dl::kBootErase, 0, 0, 0}), kNak);

  EXPECT_EQ(Send({dl::kInitialize}), kAck);
  EXPECT_EQ(Send(WritePacket(0, {1, 2, 3})), kNak);
  EXPECT_EQ(LastNote(), "refused: region not erased");
  EXPECT_EQ(Send({dl::kErase, 0}), kNak);  // short
  EXPECT_EQ(Send({dl::kErase, 0, 0, 0}), kAck);

  EXPECT_EQ(Send(WritePacket(0, Pattern(100, 1), dl::kBlockSize + 1)), kNak);
  EXPECT_EQ(LastNote(), "refused: length beyond a block");
  Bytes cut = WritePacket(0, Pattern(2048, 1));
  cut.resize(100);  // claims 2048 bytes, carries 93
  EXPECT_EQ(Send(cut), kNak);
  EXPECT_EQ(LastNote(), "refused: length beyond the packet");
  EXPECT_EQ(Send(WritePacket(0xFFFFFF00, {1})), kNak);
  EXPECT_EQ(LastNote(), "refused: beyond the flash");
  EXPECT_EQ(Send({0x3A}), kNak);  // a diagnostic request means nothing here
  EXPECT_EQ(Send({dl::kBootInitialize}), kNak);  // no parameter byte

  EXPECT_EQ(Send({dl::kFinalize}), kAck);
  EXPECT_EQ(FileBytes(Burned("main_image.bin")), Bytes{}) << "refused writes must leave no trace";
}

TEST_F(Downloader, ResetAnswersThenRestartsAndAnUnfinishedBurnIsLost) {
  EXPECT_EQ(Send({dl::kInitialize}), kAck);
  EXPECT_EQ(Send({dl::kErase, 0, 0, 0}), kAck);
  EXPECT_EQ(Send(WritePacket(0, {1, 2, 3})), kAck);
  EXPECT_EQ(Send({dl::kReset, 0, 0, 0, 0}), kAck);
  EXPECT_EQ(rig_.handset().state().personality, Personality::kRestarting);
  EXPECT_FALSE(Send({dl::kFinalize}));
  rig_.Wait(1000);
  EXPECT_EQ(rig_.handset().state().personality, Personality::kAt);
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
  EXPECT_EQ(rig_.handset().counters().restarts, 1u);
}

// The handset restarts into the stored main image: a tagged image names the
// version reported from that restart on; anything else leaves it alone, as
// does a burn that was never finalised.
TEST_F(Downloader, RestartIntoATaggedImageReportsItsVersion) {
  const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  const std::string original = rig_.handset().identity().options().softwareVersion;
  struct Case {
    const char* name;
    Bytes image;
    bool finalise;
    std::string expected;
  };
  const Case cases[] = {
      {"tagged", text("RB310VER=R310V200 and the rest"), true, "R310V200"},
      {"tag cut short", text("RB310VER=R310"), true, "R310V200"},
      {"untagged", Pattern(2000, 9), true, "R310V200"},
      {"tagged, not finalised", text("RB310VER=R310V300"), false, "R310V200"},
      {"tagged again", text("RB310VER=R310V301"), true, "R310V301"},
  };
  ASSERT_NE(original, "R310V200");
  std::string running = original;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rig_.handset().EnterDownloader();
    ASSERT_EQ(Send({dl::kInitialize}), kAck);
    ASSERT_EQ(Send({dl::kErase, 0, 0, 0}), kAck);
    ASSERT_EQ(Send(WritePacket(0, c.image)), kAck);
    if (c.finalise) {
      ASSERT_EQ(Send({dl::kFinalize}), kAck);
    }
    // Stored, but the running software keeps its version until the restart.
    EXPECT_EQ(rig_.handset().identity().options().softwareVersion, running);
    ASSERT_EQ(Send({dl::kReset, 0, 0, 0, 0}), kAck);
    rig_.Wait(1000);
    EXPECT_EQ(rig_.handset().identity().options().softwareVersion, c.expected);
    running = c.expected;
  }
}

TEST_F(Downloader, EfsEraseEmptiesTheFileSystemWithoutFollowingLinksOut) {
  const fs::path efs = rig_.stateDir() / "efs";
  fs::create_directories(efs / "brew" / "mod");
  std::ofstream(efs / "brew" / "mod" / "app.bin") << "app";
  std::ofstream(efs / "nvm") << "nvm";
  const fs::path outside = rig_.stateDir() / "keep.txt";
  std::ofstream(outside) << "keep";
  fs::create_symlink(rig_.stateDir(), efs / "up");

  EXPECT_EQ(Send({dl::kEraseEfs, 0, 0, 0}), kAck);
  EXPECT_TRUE(fs::is_directory(efs));
  EXPECT_TRUE(fs::is_empty(efs));
  EXPECT_TRUE(fs::exists(outside));
}

TEST_F(Downloader, EveryPacketOfAnyButItsOwnLengthIsRefusedWithoutEffect) {
  struct Case {
    uint8_t code;
    std::size_t length;
  };
  const Case cases[] = {{dl::kInitialize, 1}, {dl::kErase, 4},          {dl::kBootInitialize, 2},
                        {dl::kBootErase, 4},  {dl::kBootImageInitialize, 1}, {dl::kFinalize, 1},
                        {dl::kEraseEfs, 4},   {dl::kSelectRate, 2055},  {dl::kReset, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    for (const std::size_t wrong : {c.length - 1, c.length + 1, std::size_t{2}}) {
      if (wrong == c.length || wrong == 0) continue;
      Bytes packet(wrong, 0);
      packet[0] = c.code;
      EXPECT_EQ(Send(packet), kNak) << wrong << " bytes";
      EXPECT_NE(LastNote().find("bytes, not " + std::to_string(c.length)), std::string::npos) << LastNote();
      EXPECT_FALSE(rig_.handset().downloader().flash().openRegion().has_value());
    }
  }
  EXPECT_NE(rig_.handset().state().personality, Personality::kRestarting);
  Bytes write = WritePacket(0, {1, 2, 3});
  write.push_back(0x1A);  // one byte past the block
  EXPECT_EQ(Send(write), kNak);
  EXPECT_EQ(LastNote(), "refused: write packet of 2056 bytes, not 2055");

  // At their own lengths they are taken (the reset last: it restarts).
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    Bytes packet(c.length, 0);
    packet[0] = c.code;
    if (c.code == dl::kBootInitialize) packet[1] = 2;
    EXPECT_EQ(Send(packet), kAck) << LastNote();
  }
  EXPECT_EQ(rig_.handset().state().personality, Personality::kRestarting);
}

class DownloaderOnALine : public Downloader {
 protected:
  DownloaderOnALine() : Downloader(DownloaderOptions(false)) {}
};

TEST_F(DownloaderOnALine, FastRateHoldsFromTheAnswerOn) {
  Bytes select(2055, 0);
  select[0] = dl::kSelectRate;
  select[1] = dl::kSelectorFast;
  EXPECT_EQ(Send(select, 115200), kAck);  // the answer leaves at the old rate
  EXPECT_FALSE(Send({dl::kInitialize}, 115200)) << "garbled at the old rate";
  EXPECT_EQ(Send({dl::kInitialize}, 460800), kAck);
  EXPECT_EQ(rig_.handset().state().diagBaud, 460800u);
}

// The rate packet as the host sends it: the write block's length.
Bytes RatePacket(uint8_t selector) {
  Bytes packet(dl::kSelectRateRequestSize, 0);
  packet[0] = dl::kSelectRate;
  packet[1] = selector;
  return packet;
}

TEST(DownloaderRates, RejectFastRateNaksTheRatePacketAndKeepsTheRate) {
  SimOptions options = DownloaderOptions(false);
  options.faults.rejectFastRate = true;
  HandsetRig rig(options);
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame(RatePacket(dl::kSelectorFast), 3))), kNak);
  EXPECT_EQ(rig.handset().state().diagBaud, 115200u);
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame({dl::kInitialize}, 3))), kAck);
}

TEST(DownloaderRates, OnTheUsbModemPortTheHostRateDoesNotMatter) {
  HandsetRig rig(DownloaderOptions(true));
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame({dl::kInitialize}, 3), 38400)), kAck);
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame(RatePacket(dl::kSelectorFast), 3), 115200)), kAck);
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame({dl::kFinalize}, 3), 9600)), kAck);
}

TEST(DownloaderFaults, NakOnTheNthWriteRefusesOnlyThatOneAndLeavesItUnwritten) {
  SimOptions options = DownloaderOptions();
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kNak, FaultRule::Match::kCode, dl::kWrite, 1, 0, 1});
  HandsetRig rig(options);
  const auto send = [&rig](const Bytes& packet) { return zk::test::FirstPacket(rig.Feed(zk::test::Frame(packet, 3))); };
  EXPECT_EQ(send({dl::kInitialize}), kAck);
  EXPECT_EQ(send({dl::kErase, 0, 0, 0}), kAck);
  EXPECT_EQ(send(WritePacket(0, {1})), kAck);
  EXPECT_EQ(send(WritePacket(1, {2})), kNak);
  EXPECT_EQ(send(WritePacket(2, {3})), kAck);
  EXPECT_EQ(send({dl::kFinalize}), kAck);
  EXPECT_EQ(FileBytes(rig.stateDir() / "flash" / "main_image.bin"), (Bytes{1, 0xFF, 3}));
  const auto entries = rig.handset().transcript().Entries();
  EXPECT_EQ(entries[3].note, "nak");
  EXPECT_EQ(entries[3].address, 1);
}

TEST(DownloaderFaults, DropStallAndCorruptApplyInDownloadModeToo) {
  SimOptions options = DownloaderOptions();
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kDrop, FaultRule::Match::kNth, 1});
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kStall, FaultRule::Match::kNth, 2, 0, 500});
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kCorrupt, FaultRule::Match::kNth, 3});
  HandsetRig rig(options);
  // The dropped answer's request still took effect: the burn is open.
  EXPECT_TRUE(rig.Feed(zk::test::Frame({dl::kInitialize}, 3)).empty());
  EXPECT_EQ(rig.handset().downloader().flash().openRegion(), FlashRegion::kMainImage);
  EXPECT_TRUE(rig.Feed(zk::test::Frame({dl::kErase, 0, 0, 0}, 3)).empty());
  EXPECT_EQ(zk::test::FirstPacket(rig.Wait(500)), kAck);
  const Bytes corrupt = rig.Feed(zk::test::Frame({dl::kFinalize}, 3));
  EXPECT_FALSE(corrupt.empty());
  EXPECT_FALSE(zk::test::FirstPacket(corrupt));
}

TEST(DownloaderCommandLine, DownloaderStartNakAndRejectFastRate) {
  const char* argv[] = {"rb310-sim", "--port", "COM6", "--downloader", "--nak", "code=1#3", "--nak", "code=0x25",
                        "--reject-fast-rate"};
  SimOptions options;
  ASSERT_FALSE(ParseCommandLine(static_cast<int>(std::size(argv)), argv, options));
  EXPECT_TRUE(options.personality.startInDownloader);
  EXPECT_TRUE(options.faults.rejectFastRate);
  ASSERT_EQ(options.faults.rules.size(), 2u);
  const FaultRule& third = options.faults.rules[0];
  EXPECT_EQ(third.action, FaultRule::Action::kNak);
  EXPECT_EQ(third.match, FaultRule::Match::kCode);
  EXPECT_EQ(third.selector, 1u);
  EXPECT_EQ(third.skip, 2u);
  EXPECT_EQ(third.times, 1u);
  EXPECT_EQ(options.faults.rules[1].times, 0u);

  FaultRule rule;
  std::string error;
  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kNak, "code=1#0", rule, error));
  EXPECT_TRUE(ParseFaultRule(FaultRule::Action::kNak, "code=1#2/3", rule, error)) << error;
  EXPECT_EQ(rule.skip, 1u);
  EXPECT_EQ(rule.times, 3u);
}

TEST(LinePacing, HostBytesReachTheHandsetOnlyAfterTheirLineTime) {
  InputPacer input(460800);
  const double byteMs = ByteTimeMs(460800);
  Bytes frame = zk::test::Frame(Bytes(100, 0x11), 3);
  input.Add(frame, 460800, 1000.0);
  Bytes got;
  const auto take = [&got](std::span<const uint8_t> bytes, uint32_t) { got.insert(got.end(), bytes.begin(), bytes.end()); };
  // Due when the frame's final flag has crossed (the leading flags do not
  // wake the handset).
  ASSERT_TRUE(input.DueMs());
  EXPECT_NEAR(*input.DueMs(), 1000.0 + static_cast<double>(frame.size()) * byteMs, 1e-6);
  input.Take(1000.0 + 10 * byteMs + byteMs / 2, take);
  EXPECT_EQ(got.size(), 10u);
  input.Take(*input.DueMs(), take);
  EXPECT_EQ(got, frame);
  EXPECT_FALSE(input.DueMs());
}

TEST(LinePacing, RunsKeepTheHostRateTheyWereSentAt) {
  InputPacer input(0);
  input.Add(Bytes{1, 2}, 115200, 5.0);
  input.Add(Bytes{3}, 460800, 5.0);
  std::vector<std::pair<std::size_t, uint32_t>> runs;
  input.Take(5.0, [&runs](std::span<const uint8_t> bytes, uint32_t baud) { runs.emplace_back(bytes.size(), baud); });
  EXPECT_EQ(runs, (std::vector<std::pair<std::size_t, uint32_t>>{{2, 115200}, {1, 460800}}));
}

TEST(LinePacing, AnswerBytesLeaveAfterTheirLineTime) {
  OutputPacer output(460800);
  const double byteMs = ByteTimeMs(460800);
  output.Start(50.0);
  EXPECT_EQ(output.Crossed(50.0, 4), 0u);
  ASSERT_TRUE(output.DueMs(4));
  EXPECT_NEAR(*output.DueMs(4), 50.0 + 4 * byteMs, 1e-9);
  EXPECT_EQ(output.Crossed(*output.DueMs(4), 4), 4u);
  output.Sent(4);
  // The next bytes queue behind them on the line.
  output.Start(50.0);
  EXPECT_EQ(output.Crossed(50.0 + 5 * byteMs, 10), 1u);
  EXPECT_FALSE(OutputPacer(0).DueMs(4));
  EXPECT_EQ(OutputPacer(0).Crossed(0.0, 7), 7u);
}

}  // namespace
}  // namespace rb310::test
