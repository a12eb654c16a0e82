// The flash engine and the emergency download end to end: the library-wide
// link over a real pty against the in-process simulated handset, which
// assembles every burn into its state directory, so each image is compared
// byte for byte with its file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "flash/download_packets.h"
#include "support/library_objects.h"
#include "services/download_codes.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"

namespace {

namespace fs = std::filesystem;
using rb310::FaultRule;
using zk::test::Faults;
using zk::test::ForeignCode;
using zk::test::HexBytes;
using zk::test::SimLinkTest;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::WriteAll;

constexpr std::size_t kWritePacketBytes = 2055;

// The operator: status texts, the address row and the bar, per window.
class BurnUi : public zk::test::RecordingUi {
 public:
  void OpenProgress(const zk::ui::ProgressWindowView&) override { ++windowsOpened; }
  void CloseProgress() override { ++windowsClosed; }
  void SetProgressText(zk::ui::ProgressControl control, const std::string& text) override {
    RecordingUi::SetProgressText(control, text);
    if (control == zk::ui::ProgressControl::FirstAddress) firstAddresses.push_back(text);
    if (control == zk::ui::ProgressControl::SecondAddress) secondAddresses.push_back(text);
  }
  void SetProgressBar(int, int high, int, const std::string&) override { barRanges.push_back(high); }
  void SetAddressMode(bool on) override { addressModes.push_back(on); }

  int windowsOpened = 0;
  int windowsClosed = 0;
  std::vector<std::string> firstAddresses, secondAddresses;
  std::vector<int> barRanges;
  std::vector<bool> addressModes;
};

class FlashDownload : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    g_commonProcess.SetOperatorUi(&burnUi_);
    fs::create_directories(LibraryDir());
    fs::create_directories(ImageDir());
    // BOOT_LOADER.bin is looked up beside the library.
    ASSERT_TRUE(g_passPara.SetLibraryPath((LibraryDir() / "libzkdownload.so").string()));
  }

  fs::path LibraryDir() const { return home_.path() / "lib"; }
  fs::path ImageDir() const { return home_.path() / "images"; }
  fs::path Burned(const char* name) const { return home_.path() / "state" / "flash" / name; }

  fs::path MainImage(const Bytes& bytes) {
    const fs::path path = ImageDir() / "R310V106.bin";
    WriteAll(path, bytes);
    return path;
  }

  // A handset past mode entry, quick to restart.
  rb310::SimOptions DiagOptions() const {
    auto options = Options();
    options.personality.startInDm = true;
    options.personality.restartDelayMs = 200;
    return options;
  }
  // A handset that offers only its downloader.
  rb310::SimOptions RescueOptions() const {
    auto options = Options();
    options.personality.startInDownloader = true;
    options.personality.restartDelayMs = 200;
    return options;
  }
  static rb310::SimOptions OnUsbModemPort(rb310::SimOptions options) {
    options.line.friendly = "RB310 CDMA USB Modem (COM5)";
    return options;
  }

  // Kind 0 through the engine, as the binary download runs it: mode entry,
  // then the image download.
  int DownloadAfterModeEntry(const fs::path& image) {
    g_dlCommon.SetMainImagePath(image.string());
    if (g_dlCommon.LoadMainImage() != 1) return -1;
    OpenProgress();
    if (g_diagLink.EnterDiagMode(kPortIndex) != kDiagModeEntered) return -2;
    return static_cast<int>(g_dlCommon.DownloadImage());
  }

  int Emergency(const fs::path& image, int portIndex = kPortIndex) {
    return g_emergency.Run(0, "", "", image.c_str(), 0, static_cast<int16_t>(portIndex), 0, 0, -1);
  }

  std::vector<rb310::TranscriptEntry> Downloads() const {
    std::vector<rb310::TranscriptEntry> downloads;
    for (auto& entry : sim_->transcript())
      if (entry.kind == "download") downloads.push_back(entry);
    return downloads;
  }
  std::vector<rb310::TranscriptEntry> Writes() const {
    auto writes = Downloads();
    std::erase_if(writes, [](const auto& entry) { return entry.code != rb310::dl::kWrite; });
    return writes;
  }
  // The download packets in order, runs of write blocks as "01*N":
  // "29 21 04 01*3 25 0A".
  std::string Sequence() const {
    std::string text;
    const auto downloads = Downloads();
    for (std::size_t i = 0; i < downloads.size();) {
      char code[8];
      std::snprintf(code, sizeof(code), "%02X", downloads[i].code);
      if (!text.empty()) text += ' ';
      text += code;
      std::size_t run = 1;
      while (downloads[i].code == rb310::dl::kWrite && i + run < downloads.size() &&
             downloads[i + run].code == rb310::dl::kWrite)
        ++run;
      if (downloads[i].code == rb310::dl::kWrite) text += "*" + std::to_string(run);
      i += run;
    }
    return text;
  }
  // Address and length of each write block, as the handset received them.
  std::vector<std::pair<int64_t, int64_t>> WriteFields() const {
    std::vector<std::pair<int64_t, int64_t>> fields;
    for (const auto& entry : Writes()) fields.emplace_back(entry.address, entry.length);
    return fields;
  }

  bool StatusShown(const std::string& text) const {
    return std::find(burnUi_.statusTexts.begin(), burnUi_.statusTexts.end(), text) != burnUi_.statusTexts.end();
  }

  BurnUi burnUi_;
};

// --- the engine after mode entry (kind 0) ------------------------------------

TEST_F(FlashDownload, MainImageAloneIsBurnedByteForByteAtTheFastRate) {
  StartSim(DiagOptions());
  const Bytes image = zk::test::PseudoRandomBytes(10000, 1);
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);

  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
  EXPECT_FALSE(fs::exists(Burned("boot_loader.bin")));
  EXPECT_FALSE(fs::exists(Burned("boot_image.bin")));
  // Neither extra image lies where the engine looks: only the main image's
  // packets, after the switch to 460800 bit/s on this physical line.
  EXPECT_EQ(Sequence(), "29 21 04 01*5 25 0A");
  const Bytes select = HexBytes(Downloads().front().hex);
  ASSERT_EQ(select.size(), kWritePacketBytes);
  EXPECT_EQ(select[1], rb310::dl::kSelectorFast);
  for (const auto& write : Writes()) EXPECT_EQ(write.hex.size(), 2 * kWritePacketBytes);
  EXPECT_EQ(Requests(0x3A), 1u);  // the switch into the downloader

  // The handset restarted; the port is closed and NV backup is pending.
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kDiag);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(g_commonProcess.m_nvBackupPending, 1);
  EXPECT_TRUE(StatusShown("Jump to Downloader..."));
}

TEST_F(FlashDownload, BootLoaderAndBootImageAreBurnedFirstEachFromAddressZero) {
  StartSim(DiagOptions());
  const Bytes boot = zk::test::PseudoRandomBytes(3000, 2), logo = zk::test::PseudoRandomBytes(2048, 3), image = zk::test::PseudoRandomBytes(4500, 4);
  WriteAll(LibraryDir() / "BOOT_LOADER.bin", boot);
  WriteAll(ImageDir() / "small_bootup_logo.bin", logo);
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);

  EXPECT_EQ(ReadAll(Burned("boot_loader.bin")), boot);
  EXPECT_EQ(ReadAll(Burned("boot_image.bin")), logo);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
  EXPECT_EQ(Sequence(), "29 20 22 01*2 28 01*1 21 04 01*3 25 0A");
  EXPECT_EQ(HexBytes(Downloads()[1].hex), (Bytes{0x20, 0x02}));
  EXPECT_EQ(WriteFields(), (std::vector<std::pair<int64_t, int64_t>>{
                               {0, 2048}, {0x800, 952}, {0, 2048}, {0, 2048}, {0x800, 2048}, {0x1000, 404}}));

  const std::vector<std::string> steps{"BOOT Initialize ...",      "BOOT Erasing ...", "BootLoader Burning ...",
                                       "BOOTImage Initialize ...", "BootImage Burning ...", "Initialize ...",
                                       "Erasing ...",              "Burning ...",      "Finalize ...",
                                       "Reset ..."};
  auto at = burnUi_.statusTexts.begin();
  for (const auto& step : steps) {
    at = std::find(at, burnUi_.statusTexts.end(), step);
    ASSERT_NE(at, burnUi_.statusTexts.end()) << step << " missing or out of order";
  }
  for (const char* name : {"BOOT_LOADER.bin", "small_bootup_logo.bin", "R310V106.bin"}) {
    EXPECT_NE(std::find(burnUi_.detailTexts.begin(), burnUi_.detailTexts.end(), name), burnUi_.detailTexts.end())
        << name;
  }
}

TEST_F(FlashDownload, FiveThousandBytesGoAsThreeBlocksWithTheLastPadded) {
  StartSim(DiagOptions());
  const Bytes image = zk::test::PseudoRandomBytes(5000, 5);
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);

  EXPECT_EQ(WriteFields(), (std::vector<std::pair<int64_t, int64_t>>{{0, 2048}, {0x800, 2048}, {0x1000, 904}}));
  const Bytes last = HexBytes(Writes().back().hex);
  ASSERT_EQ(last.size(), kWritePacketBytes);
  EXPECT_TRUE(std::equal(last.begin() + 7, last.begin() + 7 + 904, image.begin() + 4096));
  EXPECT_TRUE(std::all_of(last.begin() + 7 + 904, last.end(), [](uint8_t b) { return b == 0x1A; }));
  EXPECT_EQ(last.size() - 7 - 904, 1144u);

  // The address row: on with the size, each block's address, off again.
  EXPECT_EQ(burnUi_.addressModes, (std::vector<bool>{true, false}));
  EXPECT_NE(std::find(burnUi_.secondAddresses.begin(), burnUi_.secondAddresses.end(), "0x1388"),
            burnUi_.secondAddresses.end());
  const std::vector<std::string> shown(burnUi_.firstAddresses.end() - 4, burnUi_.firstAddresses.end());
  EXPECT_EQ(shown, (std::vector<std::string>{"0x0", "0x800", "0x1000", ""}));
}

TEST_F(FlashDownload, ImageOfOneByteOverTwoBlocksTakesThreePacketsWithARangeOfTwo) {
  StartSim(DiagOptions());
  const Bytes image = zk::test::PseudoRandomBytes(4097, 6);
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
  EXPECT_EQ(WriteFields(), (std::vector<std::pair<int64_t, int64_t>>{{0, 2048}, {0x800, 2048}, {0x1000, 1}}));
  ASSERT_FALSE(burnUi_.barRanges.empty());
  EXPECT_EQ(burnUi_.barRanges.back(), 2);
}

TEST_F(FlashDownload, EmptyImageSendsNoWriteBlockAndSucceeds) {
  StartSim(DiagOptions());
  ASSERT_EQ(DownloadAfterModeEntry(MainImage({})), 1);
  EXPECT_EQ(Sequence(), "29 21 04 25 0A");
  ASSERT_TRUE(fs::exists(Burned("main_image.bin")));
  EXPECT_EQ(fs::file_size(Burned("main_image.bin")), 0u);
}

TEST_F(FlashDownload, NakToAWriteBlockFailsTheBurnAtOnceWithoutRetry) {
  auto options = DiagOptions();
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kNak, FaultRule::Match::kCode, rb310::dl::kWrite, 1, 0, 1});
  StartSim(std::move(options));
  EXPECT_EQ(DownloadAfterModeEntry(MainImage(zk::test::PseudoRandomBytes(8000, 7))), 9);

  // Blocks 0 and 1, the refused one not sent again, nothing after it.
  EXPECT_EQ(Sequence(), "29 21 04 01*2");
  EXPECT_EQ(Writes().back().note, "nak");
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
  // Out of download mode, the host back at 38400 bit/s, the handset still
  // in its downloader.
  EXPECT_EQ(g_diagLink.m_downloadMode, 0);
  EXPECT_EQ(g_diagLink.m_comm.lineConfig().baudRate, 38400u);
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kDownloader);
  EXPECT_EQ(burnUi_.addressModes, (std::vector<bool>{true, false}));
}

TEST_F(FlashDownload, AnswerRepeatingTheRequestCodeCountsAsAcknowledgementAnyOtherFails) {
  auto options = DiagOptions();
  // Write blocks are answered with their own code; the finalise with a
  // diagnostic error code.
  options.faults = Faults({ForeignCode(rb310::dl::kWrite, rb310::dl::kWrite), ForeignCode(rb310::dl::kFinalize, 0x13)});
  StartSim(std::move(options));
  const Bytes image = zk::test::PseudoRandomBytes(5000, 8);
  EXPECT_EQ(DownloadAfterModeEntry(MainImage(image)), 13);
  EXPECT_EQ(Sequence(), "29 21 04 01*3 25");  // the finalise was not tried again
  // The handset stored the burn; only its answer was odd.
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
}

TEST_F(FlashDownload, BootLoaderThatCannotBeReadStopsBeforeAnyBootPacket) {
  StartSim(DiagOptions());
  // Present but not a file that can be read (a chmod 000 file would still
  // be readable to root).
  fs::create_directories(LibraryDir() / "BOOT_LOADER.bin");
  EXPECT_EQ(DownloadAfterModeEntry(MainImage(zk::test::PseudoRandomBytes(100, 9))), 201100);
  EXPECT_EQ(Sequence(), "29");
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
}

TEST_F(FlashDownload, OnTheUsbModemPortTheRateStaysAndNoRatePacketIsSent) {
  // A pty takes every rate, so the physical line that refuses 460800 cannot
  // be built here; the USB modem port is the other path without the switch.
  StartSim(OnUsbModemPort(DiagOptions()));
  const Bytes image = zk::test::PseudoRandomBytes(3000, 10);
  g_dlCommon.m_isUsbPort = 1;
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
  EXPECT_EQ(Sequence(), "21 04 01*2 25 0A");
  EXPECT_EQ(sim_->state().hostBaud, 115200u);  // the rate mode entry left
}

TEST_F(FlashDownload, HandsetRefusingTheFastRateFailsTheDownloadWithFive) {
  auto options = DiagOptions();
  options.faults.rejectFastRate = true;
  StartSim(std::move(options));
  EXPECT_EQ(DownloadAfterModeEntry(MainImage(zk::test::PseudoRandomBytes(100, 11))), 5);
  EXPECT_EQ(Sequence(), "29");
  EXPECT_EQ(g_diagLink.m_downloadMode, 0);
}

TEST_F(FlashDownload, EfsEraseEmptiesTheHandsetsFileSystemAndRestartsIt) {
  StartSim(DiagOptions());
  const fs::path efs = home_.path() / "state" / "efs";
  fs::create_directories(efs / "brew");
  std::ofstream(efs / "brew" / "app.mod") << "app";
  OpenProgress();
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  EXPECT_EQ(g_dlCommon.EraseHandsetEfs(), zk::flash::DownloadResult::kDone);
  EXPECT_TRUE(fs::is_empty(efs));
  EXPECT_EQ(Sequence(), "26 0A");  // at 115200 bit/s, without the rate switch
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

// --- emergency download --------------------------------------------------

TEST_F(FlashDownload, EmergencyBurnsTheImageIntoAHandsetInItsDownloader) {
  StartSim(RescueOptions());
  const Bytes image = zk::test::PseudoRandomBytes(9000, 12);
  ASSERT_EQ(Emergency(MainImage(image)), 1);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);

  // Nothing but download packets, the first of them the rate switch.
  const auto transcript = sim_->transcript();
  ASSERT_FALSE(transcript.empty());
  EXPECT_EQ(transcript.front().kind, "download");
  EXPECT_EQ(Sequence(), "29 21 04 01*5 25 0A");
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kAt);

  EXPECT_EQ(burnUi_.windowsOpened, 1);
  EXPECT_EQ(burnUi_.windowsClosed, 1);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(g_diagLink.m_comm.lineConfig().baudRate, 38400u);
  EXPECT_FALSE(g_dlCommon.m_skipOffline);
  // It read no NV items: a later failure must not save an image as this handset's.
  EXPECT_EQ(g_commonProcess.m_nvBackupPending, 0);
}

TEST_F(FlashDownload, EveryPacketOfAFullEmergencyDownloadHasItsExactLength) {
  StartSim(RescueOptions());
  WriteAll(LibraryDir() / "BOOT_LOADER.bin", zk::test::PseudoRandomBytes(2500, 21));
  WriteAll(ImageDir() / "small_bootup_logo.bin", zk::test::PseudoRandomBytes(1000, 22));
  ASSERT_EQ(Emergency(MainImage(zk::test::PseudoRandomBytes(3000, 23))), 1);
  ASSERT_EQ(Sequence(), "29 20 22 01*2 28 01*1 21 04 01*2 25 0A");

  namespace packet = zk::flash::packet;
  std::map<int, int> lengths;
  for (const auto& layout : {packet::kWriteBlock, packet::kErase, packet::kReset, packet::kBootInitialize,
                           packet::kInitialize, packet::kBootErase, packet::kFinalize, packet::kEraseEfs,
                           packet::kBootImageInitialize, packet::kSelectFastRate})
    lengths[layout.code] = layout.length;
  for (const auto& entry : Downloads()) {
    SCOPED_TRACE("packet " + std::to_string(entry.code));
    EXPECT_EQ(static_cast<int>(HexBytes(entry.hex).size()), lengths.at(entry.code));
    EXPECT_TRUE(entry.answered);
    EXPECT_EQ(entry.note.find("refused"), std::string::npos) << entry.note;
  }
}

TEST_F(FlashDownload, EmergencyOnTheUsbModemPortBurnsWithoutTheRateSwitch) {
  StartSim(OnUsbModemPort(RescueOptions()));
  const Bytes image = zk::test::PseudoRandomBytes(2500, 13);
  ASSERT_EQ(Emergency(MainImage(image)), 1);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
  EXPECT_EQ(Sequence(), "21 04 01*2 25 0A");
  EXPECT_EQ(g_dlCommon.m_isUsbPort, 1);
}

TEST_F(FlashDownload, EmergencyWithoutItsImageFailsBeforeThePortIsTouched) {
  StartSim(RescueOptions());
  EXPECT_EQ(Emergency(ImageDir() / "absent.bin"), 201020);
  EXPECT_TRUE(sim_->transcript().empty());
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

TEST_F(FlashDownload, EmergencyOnAPortThatNamesNothingFailsWith601000) {
  StartSim(RescueOptions());
  EXPECT_EQ(Emergency(MainImage(zk::test::PseudoRandomBytes(100, 14)), 8), 601000);  // COM9: not in the port map
  EXPECT_TRUE(sim_->transcript().empty());
}

TEST_F(FlashDownload, EmergencyNakOnAWriteBlockGivesTheBurnStepsCode) {
  auto options = RescueOptions();
  options.faults.rules.push_back(FaultRule{FaultRule::Action::kNak, FaultRule::Match::kCode, rb310::dl::kWrite, 1, 0, 2});
  StartSim(std::move(options));
  EXPECT_EQ(Emergency(MainImage(zk::test::PseudoRandomBytes(9000, 15))), 602009);
  EXPECT_EQ(Sequence(), "29 21 04 01*3");
  EXPECT_EQ(g_diagLink.m_comm.lineConfig().baudRate, 38400u);
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
}

// A run that fails early must not leave the engine skipping mode entry, nor
// the link in download mode, for the operations that follow.
TEST_F(FlashDownload, FailedEmergencyLeavesTheNextDownloadItsModeEntry) {
  StartSim(DiagOptions());
  ASSERT_EQ(Emergency(ImageDir() / "absent.bin"), 201020);
  EXPECT_FALSE(g_dlCommon.m_skipOffline);
  EXPECT_EQ(g_diagLink.m_downloadMode, 0);

  const Bytes image = zk::test::PseudoRandomBytes(3000, 17);
  g_dlCommon.m_isUsbPort = 0;
  ASSERT_EQ(DownloadAfterModeEntry(MainImage(image)), 1);
  EXPECT_EQ(Requests(0x3A), 1u);
  EXPECT_EQ(ReadAll(Burned("main_image.bin")), image);
}

// Each run burns the boot image that lies beside its own main image, not one
// still in memory from an earlier run.
TEST_F(FlashDownload, EmergencyReadsTheBootImageBesideItsMainImageEachRun) {
  StartSim(RescueOptions());
  const Bytes logoA = zk::test::PseudoRandomBytes(700, 18), logoB = zk::test::PseudoRandomBytes(900, 19), image = zk::test::PseudoRandomBytes(1000, 20);
  fs::create_directories(ImageDir() / "a");
  fs::create_directories(ImageDir() / "b");
  WriteAll(ImageDir() / "a" / "small_bootup_logo.bin", logoA);
  WriteAll(ImageDir() / "a" / "main.bin", image);
  WriteAll(ImageDir() / "b" / "small_bootup_logo.bin", logoB);
  WriteAll(ImageDir() / "b" / "main.bin", image);

  ASSERT_EQ(Emergency(ImageDir() / "a" / "main.bin"), 1);
  EXPECT_EQ(ReadAll(Burned("boot_image.bin")), logoA);
  sim_->WithHandset([](rb310::Handset& handset) { handset.EnterDownloader(); });  // broken again
  ASSERT_EQ(Emergency(ImageDir() / "b" / "main.bin"), 1);
  EXPECT_EQ(ReadAll(Burned("boot_image.bin")), logoB);
}

TEST_F(FlashDownload, EmergencyAgainstAHandsetInNormalModeFailsAndWritesNothing) {
  // Every download packet goes unanswered for ten tries of its full wait.
  zk::platform::SetTimeScale(0.01);
  auto options = RescueOptions();
  options.personality.startInDownloader = false;
  StartSim(std::move(options));
  EXPECT_EQ(Emergency(MainImage(zk::test::PseudoRandomBytes(100, 16))), 602005);  // the rate switch went unanswered
  // The handset was never switched: it is in its AT personality, and no
  // frame of any kind reached a command handler.
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kAt);
  EXPECT_EQ(sim_->counters().frames, 0u);
  EXPECT_FALSE(fs::exists(Burned("main_image.bin")));
}

}  // namespace
