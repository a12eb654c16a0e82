// The fixed waits of the flows, in the order each flow asks for them and in
// unscaled milliseconds, as a wait recorder sees them while the flow runs
// against the simulated handset. Poll time-outs are not waits and do not
// appear; the 2000 ms pause after a negative acknowledgement does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/library_objects.h"
#include "operations/eri_download.h"
#include "operations/provision_write.h"
#include "platform/clock.h"
#include "services/download_codes.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"

namespace {

namespace fs = std::filesystem;
using Waits = std::vector<int64_t>;

constexpr int16_t kComPort5 = 4;  // the fixture's port, COM5

Waits Repeat(int64_t ms, int times) { return Waits(static_cast<std::size_t>(times), ms); }
Waits operator+(Waits a, const Waits& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Standard probe (two AT commands), offline settle, pause before the status.
const Waits kModeEntry{200, 200, 600, 1000};
const Waits kOffline{600};
// Key lock, then two key presses, each with its own pause before it.
const Waits kUnlockAndRelease = Repeat(100, 5);
// Key lock, then ten key presses (lead, mark, seven digits, mark).
const Waits kUnlockAndTypeCode = Repeat(100, 1 + 2 * 10);

enum class Handset { kNone, kAtPersonality, kLegacyDm, kInDm, kInDownloader, kInDownloaderOnUsb };

struct Row {
  const char* name;
  Handset handset;
  std::vector<rb310::FaultRule> faults;
  int (*run)(const fs::path& image);  // the flow; its result
  int result;
  Waits waits;
};

int EnterDm(const fs::path&) { return g_diagLink.EnterDiagMode(kComPort5); }

int EnterThen(int (*then)()) {
  const int entered = EnterDm({});
  return entered == kDiagModeEntered ? then() : -entered;
}

int PrlWrite(const fs::path& image) {
  const fs::path list = image.parent_path() / "list.prl";
  zk::test::WriteAll(list, zk::test::PseudoRandomBytes(100, 3));
  return g_prlDown.Write(0, "", "", list.c_str(), 0, kComPort5, 0, 0, -1);
}

int PrlRead(const fs::path& image) {
  // A list for the read to find, in the handset's state under the test home.
  const fs::path stored = image.parent_path().parent_path() / "state" / "prl" / "nam0.bin";
  fs::create_directories(stored.parent_path());
  zk::test::WriteAll(stored, zk::test::PseudoRandomBytes(100, 3));
  const fs::path out = image.parent_path() / "read.prl";
  return g_prlDown.Read(0, "", "", out.c_str(), 0, kComPort5, 0, 0, -1);
}

int EriWrite(const fs::path& image) {
  const fs::path eri = image.parent_path() / "roam.eri";
  zk::test::WriteAll(eri, zk::test::PseudoRandomBytes(100, 4));
  return g_eriDownload.Write(0, "", eri.c_str(), kComPort5, 0, 0, -1);
}

int EriWriteUnattended(const fs::path& image) {
  const fs::path eri = image.parent_path() / "roam.eri";
  zk::test::WriteAll(eri, zk::test::PseudoRandomBytes(100, 4));
  return g_eriDownload.WriteUnattended(0, "", eri.c_str(), kComPort5, 0, 0, -1);
}

int Provision(const fs::path& image) {
  const fs::path root = image.parent_path() / "prov" / "Efs_COM5" / "cfg";
  fs::create_directories(root);
  zk::test::WriteAll(root / "a.txt", zk::test::PseudoRandomBytes(100, 5));
  return ProvisionWrite(0, "", (image.parent_path() / "prov").c_str(), kComPort5, 0, 0, -1);
}

int Emergency(const fs::path& image) {
  return g_emergency.Run(0, "", "", image.c_str(), 0, kComPort5, 0, 0, -1);
}

int Download(const fs::path& image) {
  g_dlCommon.SetMainImagePath(image.string());
  if (g_dlCommon.LoadMainImage() != 1) return -1;
  return EnterThen([] { return static_cast<int>(g_dlCommon.DownloadImage()); });
}

// Offline, then 2 s, the switch and 2 s more.
const Waits kEnterDownloader = kOffline + Repeat(1000, 4);
// Rate switch, settle, the burn's initial 5 s, then 30 s while the handset restarts.
const Waits kImageDownload = Waits{500, 500, 1000} + Repeat(1000, 5) + Repeat(1000, 30);

const Row kRows[] = {
    {"ModeEntry", Handset::kAtPersonality, {}, EnterDm, kDiagModeEntered, kModeEntry},
    {"ModeEntryAtTheLegacyRate", Handset::kLegacyDm, {}, EnterDm, kDiagModeEntered, kModeEntry},
    {"PortThatNeverOpens", Handset::kNone, {}, EnterDm, kDiagModeFailed, Repeat(500, 10)},
    {"UnlockAndRelease", Handset::kInDm, {},
     [](const fs::path&) { return EnterThen([] { return static_cast<int>(g_diagLink.UnlockAndRelease()); }); },
     1, kModeEntry + kUnlockAndRelease},
    {"UnlockAndTypeCode", Handset::kInDm, {},
     [](const fs::path&) { return EnterThen([] { return static_cast<int>(g_diagLink.UnlockAndTypeCode()); }); },
     1, kModeEntry + kUnlockAndTypeCode},
    {"Reset", Handset::kInDm, {},
     [](const fs::path&) { return EnterThen([] { return static_cast<int>(g_packetProcess.ResetPhone()); }); },
     1, kModeEntry + kOffline},
    // Entry, offline, unlock, 2 s; 300 ms around the one file; 300 ms, the
    // reset (offline first) and the 20 s restart.
    {"PrlWrite", Handset::kAtPersonality, {}, PrlWrite, 1,
     kModeEntry + kOffline + kUnlockAndRelease + Waits{2000, 300, 300, 300} + kOffline + Repeat(1000, 20)},
    {"PrlRead", Handset::kAtPersonality, {}, PrlRead, 1, kModeEntry},
    // Entry, offline, unlock, 2 s; the file; 300 ms, the reset (offline
    // first) and the 35 s restart.
    {"EriWrite", Handset::kAtPersonality, {}, EriWrite, 1,
     kModeEntry + kOffline + kUnlockAndRelease + Waits{1000, 1000, 300} + kOffline + Repeat(1000, 35)},
    {"EriWriteUnattended", Handset::kAtPersonality, {}, EriWriteUnattended, 1,
     kModeEntry + kOffline + kUnlockAndTypeCode + Waits{1000, 1000}},
    // Entry, the restore, the reset, 8 s, entry again.
    {"ProvisionWrite", Handset::kAtPersonality, {}, Provision, 1,
     kModeEntry + kOffline + Repeat(1000, 8) + kModeEntry},
    {"EmergencyDownload", Handset::kInDownloader, {}, Emergency, 1, kImageDownload},
    {"EmergencyDownloadOnTheUsbModemPort", Handset::kInDownloaderOnUsb, {}, Emergency, 1,
     Waits{1000} + Repeat(1000, 5) + Repeat(1000, 30)},
    {"ImageDownloadAfterModeEntry", Handset::kInDm, {}, Download, 1,
     kModeEntry + Waits{1000} + kEnterDownloader + kImageDownload},
    // A refused block fails the burn after the pause a negative answer earns.
    {"NegativeAnswerToAWriteBlock", Handset::kInDm,
     {rb310::FaultRule{rb310::FaultRule::Action::kNak, rb310::FaultRule::Match::kCode, rb310::dl::kWrite, 1, 0, 1}},
     Download, 9, kModeEntry + Waits{1000} + kEnterDownloader + Waits{500, 500, 1000} + Repeat(1000, 5) + Waits{2000}},
    // Offline, 2 s, switch, 2 s; settle twice; erase; 1 s; reset; 20 s restart.
    {"EfsErase", Handset::kInDm, {},
     [](const fs::path&) { return EnterThen([] { return static_cast<int>(g_dlCommon.EraseHandsetEfs()); }); },
     static_cast<int>(zk::flash::DownloadResult::kDone),
     kModeEntry + Waits{1000} + kEnterDownloader + Waits{1000, 1000, 1000, 20000}},
};

class FixedWaits : public zk::test::SimLinkTest, public ::testing::WithParamInterface<Row> {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    fs::create_directories(home_.path() / "lib");
    fs::create_directories(home_.path() / "images");
    // No boot loader beside the library: the main image alone is burned.
    ASSERT_TRUE(g_passPara.SetLibraryPath((home_.path() / "lib" / "libzkdownload.so").string()));
  }

  void StartHandset(Handset handset, std::vector<rb310::FaultRule> faults) {
    if (handset == Handset::kNone) return;
    auto options = Options();
    options.personality.restartDelayMs = 200;
    options.faults = zk::test::Faults(std::move(faults));
    options.personality.startInDm = handset == Handset::kInDm || handset == Handset::kLegacyDm;
    if (handset == Handset::kLegacyDm) options.personality.dmBaud = 38400;
    options.personality.startInDownloader =
        handset == Handset::kInDownloader || handset == Handset::kInDownloaderOnUsb;
    if (handset == Handset::kInDownloaderOnUsb) options.line.friendly = "RB310 CDMA USB Modem (COM5)";
    StartSim(std::move(options));
  }
};

TEST_P(FixedWaits, AreTheFlowsOwn) {
  const Row& row = GetParam();
  StartHandset(row.handset, row.faults);
  const fs::path image = home_.path() / "images" / "R310V106.bin";
  zk::test::WriteAll(image, zk::test::PseudoRandomBytes(5000, 1));
  OpenProgress();

  zk::platform::WaitRecorder recorder;
  EXPECT_EQ(row.run(image), row.result);
  EXPECT_EQ(recorder.Waits(), row.waits);
}

INSTANTIATE_TEST_SUITE_P(Flows, FixedWaits, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
