// The upgrade exports as a host calls them: libzkdownload.so loaded with
// dlopen, a real rb310-sim process that loses its NV items when an image is
// burnt, host buffers registered through fnPassPara_Interface, the headless
// operator interface and a small time scale.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "nv/nv_backup_file.h"
#include "nv/nv_catalogue.h"
#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::Resolve;

using UpgradeUsbFn = int (*)(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                             short, const char*, short, short, short);
using UpgradeFn = int (*)(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                          short);
using UpgradeNewFn = int (*)(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                             short, const char*);
using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*, const char*,
                           const char*, const char*, const char*, const char*, int, int, int);

constexpr int kPort = 8;  // COM8
constexpr short kPortIndex = kPort - 1;
constexpr const char* kNewVersion = "R310V300";

// Gives the handset's calibration items values of the test's own; answers
// each seeded file with its bytes.
std::map<fs::path, Bytes> SeedCalibration(const fs::path& nvDirectory) {
  fs::create_directories(nvDirectory);
  std::map<fs::path, Bytes> seeds;
  for (const auto& entry : zk::nv::CalibrationList()) {
    const auto slot = zk::nv::FindSlot(entry.item);
    if (!slot || slot->perNam) continue;
    Bytes field(128, 0);
    for (std::size_t i = 0; i < slot->size; ++i) field[i] = static_cast<uint8_t>(entry.item * 5 + i + 3);
    const fs::path file = nvDirectory / (std::to_string(entry.item) + ".bin");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(field.data()), 128);
    seeds[file] = field;
  }
  return seeds;
}

// The handset falls silent from request N on (frames and download packets),
// landing in each step in turn. No row may succeed; a failure after the NV
// items were read and before they were written back leaves them in a backup
// file the NV tools can load.
struct SilenceRow {
  int request;
  int location;  // the failure code's thousands
  bool backupSaved;
};


class UpgradeExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr);
    usb_ = Resolve<UpgradeUsbFn>("UpgradeUSB_Interface");
    serial_ = Resolve<UpgradeFn>("Upgrade_Interface");
    withEri_ = Resolve<UpgradeNewFn>("UpgradeNew_Interface");
    passPara_ = Resolve<PassParaFn>("fnPassPara_Interface");
    ASSERT_TRUE(usb_ && serial_ && withEri_ && passPara_);
    if (HostBuffers()) Register(1);
    // Backup files without a chosen name land in the current directory.
    previous_ = fs::current_path();
    fs::current_path(home_.path());
  }
  void TearDown() override {
    sim_.Stop();
    fs::current_path(previous_);
    // The library keeps the registered buffers for as long as it is loaded:
    // a later case in this process must not find it writing into this one's.
    if (passPara_ != nullptr)
      passPara_(1, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, "", "", "", "", "", 0, 1, 0);
  }
  virtual bool HostBuffers() const { return true; }
  void Register(int calibrationCheck) {
    const std::string fallback = (home_.path() / "fallback").string();
    ASSERT_EQ(passPara_(1, &result_, version_, 0, 0, &count_, names_, times_, "", "", "", fallback.c_str(), "", 0,
                        calibrationCheck, 0),
              1);
  }
  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port",          "COM" + std::to_string(kPort), "--state", State().string(),
                                  "--restart-delay", "200", "--transcript", Transcript().string(),
                                  "--nv-lost-on-download"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }
  fs::path State() const { return home_.path() / state_; }
  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }
  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path path = home_.path() / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  fs::path Image(const std::string& name) {
    std::string image = std::string("RB310VER=") + kNewVersion;
    for (int i = 0; i < 3000; ++i) image.push_back(static_cast<char>(i * 7));
    return Write(name, image);
  }
  int Staged(short kind, const fs::path& image, const std::string& script = "", const std::string& prl = "") {
    return usb_(kind, 0, "", image.c_str(), script.c_str(), prl.c_str(), 0, "", 0, kPortIndex, "", 0, 0, -1);
  }
  int Full(short kind, const fs::path& image, const fs::path& script = {}, const fs::path& prl = {}) {
    const std::string efs = (home_.path() / "efs_backup").string();
    return usb_(kind, 0, "", image.c_str(), script.c_str(), prl.c_str(), 0, efs.c_str(), 0, kPortIndex, "", 0, 0,
                -1);
  }
  std::vector<std::string> Stages() const {
    std::vector<std::string> names;
    for (int slot = 0; slot < count_ && slot < 10; ++slot)
      names.emplace_back(reinterpret_cast<const char*>(names_ + slot * 100));
    return names;
  }
  std::vector<fs::path> BackupFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(home_.path()))
      if (entry.path().extension() == ".bak") files.push_back(entry.path());
    return files;
  }
  void RunSilentFrom(short kind, const SilenceRow& row);
  bool HandsetTouched() const {
    std::ifstream transcript(Transcript());
    std::string line;
    return static_cast<bool>(std::getline(transcript, line));
  }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  fs::path previous_;
  std::string state_ = "state";
  UpgradeUsbFn usb_ = nullptr;
  UpgradeFn serial_ = nullptr;
  UpgradeNewFn withEri_ = nullptr;
  PassParaFn passPara_ = nullptr;
  int result_ = -1, count_ = 0;
  unsigned char version_[15]{};
  unsigned char names_[1000]{}, times_[1000]{};
};

TEST_F(UpgradeExports, StagedKindBurnsTheImageKeepsTheNvItemsAndReportsItsStages) {
  // The handset's own values: the burn loses them.
  const auto seeds = SeedCalibration(State() / "nv");
  ASSERT_FALSE(seeds.empty());
  StartSim();

  ASSERT_EQ(Staged(0, Image("any_name.bin")), 1);
  EXPECT_EQ(result_, 1);
  EXPECT_EQ(Stages(), (std::vector<std::string>{"DXX01", "DXX07", "DXX05", "DownLoadThread", "DXX02", "DXX30",
                                                "DXX06", "END"}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(version_)).substr(0, 8), kNewVersion);
  EXPECT_TRUE(BackupFiles().empty()) << "a success leaves no backup file";
  sim_.Stop();
  for (const auto& [file, bytes] : seeds) EXPECT_EQ(ReadAll(file), bytes) << file;
}

// Through the serial form with an ERI file.
TEST_F(UpgradeExports, FullKindKeepsFileSystemAndNvAndWritesPrlScriptAndEri) {
  Write("seed/user/notes.txt", "kept across the burn");
  Write("seed/user/deep/photo.jpg", std::string(700, 'p'));
  const auto seeds = SeedCalibration(State() / "nv");
  StartSim({"--efs-seed", (home_.path() / "seed").string()});

  const std::string prl(120, '\x5C');
  const fs::path prlFile = Write("list.prl", prl);
  const fs::path script = Write("job/job.scr", "NV_WRITE ACCOLC 0 5 6\n");
  const std::string eri(64, '\x3E');
  const fs::path eriFile = Write("roam.eri", eri);
  const fs::path image = Image("rb31vv30.bin");  // the prefix in any case
  const std::string efs = (home_.path() / "efs_backup").string();
  ASSERT_EQ(withEri_(2, 0, "", image.c_str(), script.c_str(), prlFile.c_str(), 0, efs.c_str(), 0,
                     static_cast<short>(1 << kPortIndex), eriFile.c_str()),
            1);
  EXPECT_EQ(result_, 1);
  EXPECT_EQ(count_, 0) << "kinds 2 and 3 keep no stage report";
  sim_.Stop();
  const std::string notes = "kept across the burn";
  EXPECT_EQ(ReadAll(State() / "efs" / "user" / "notes.txt"), Bytes(notes.begin(), notes.end()));
  EXPECT_EQ(ReadAll(State() / "efs" / "user" / "deep" / "photo.jpg").size(), 700u);
  EXPECT_EQ(ReadAll(State() / "prl" / "nam0.bin"), Bytes(prl.begin(), prl.end()));
  EXPECT_EQ(ReadAll(State() / "efs" / "eri" / "eri.bin"), Bytes(eri.begin(), eri.end()));
  EXPECT_FALSE(fs::exists(home_.path() / "efs_backup" / ("Efs_COM" + std::to_string(kPort))))
      << "the local copy goes once the handset holds it again";
  for (const auto& [file, bytes] : seeds) EXPECT_EQ(ReadAll(file), bytes) << file;
  EXPECT_TRUE(fs::exists(State() / "nv" / "37-0.bin")) << "the script's item";
}

// Refusals that must come before the handset hears anything.
TEST_F(UpgradeExports, BadImageNameIsRefusedBeforeTheHandsetIsTouched) {
  StartSim();
  for (const char* name : {"RB31V.bin", "R310VV30.bin"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Full(2, Image(name)), 0);
    EXPECT_EQ(result_, 121000);
  }
  EXPECT_FALSE(HandsetTouched());
}

// The calibration switch: on, a handset without calibration data fails;
// off, the check is neither run nor reported.
TEST_F(UpgradeExports, CalibrationSwitch) {
  StartSim({"--nv-no-calibration"});
  EXPECT_EQ(Staged(0, Image("a.bin")), 0);
  EXPECT_EQ(result_ / 1000, 303);
  EXPECT_TRUE(BackupFiles().empty()) << "nothing was read yet";

  Register(0);
  const int before = count_;
  EXPECT_EQ(Staged(0, Image("a.bin")), 1);
  auto stages = Stages();
  // The count runs from the library's load; the report keeps ten slots.
  stages.erase(stages.begin(), stages.begin() + std::min<std::ptrdiff_t>(before, std::ssize(stages)));
  EXPECT_EQ(std::count(stages.begin(), stages.end(), "DXX07"), 0);
  EXPECT_EQ(std::count(stages.begin(), stages.end(), "DXX06"), 1);
}


void UpgradeExports::RunSilentFrom(short kind, const SilenceRow& row) {
  SCOPED_TRACE("kind " + std::to_string(kind) + ", silent from request " + std::to_string(row.request));
  state_ = "state" + std::to_string(kind) + "_" + std::to_string(row.request);
  // A silent handset costs every time-out of the step; the library reads
  // the scale at each call and the simulator at its start.
  setenv("ZKDOWNLOAD_TIME_SCALE", "0.02", 1);
  struct RestoreScale {
    ~RestoreScale() { setenv("ZKDOWNLOAD_TIME_SCALE", "0.05", 1); }
  } restore;
  StartSim({"--drop", "all#" + std::to_string(row.request) + "/100000"});
  const fs::path script = Write("job/job.scr", "NV_WRITE ACCOLC 0 5 6\n");
  const fs::path prl = Write("list.prl", std::string(120, '\x5C'));
  const int returned = kind == 0 ? Staged(0, Image("RB31VV30.bin")) : Full(kind, Image("RB31VV30.bin"), script, prl);
  sim_.Stop();
  EXPECT_EQ(returned, 0);
  EXPECT_EQ(result_ / 1000, row.location) << result_;
  const auto backups = BackupFiles();
  ASSERT_EQ(backups.size(), row.backupSaved ? 1u : 0u);
  if (row.backupSaved) {
    const Bytes bytes = ReadAll(backups.front());
    const auto decoded = zk::nv::DecodeBackupFile(bytes);
    ASSERT_TRUE(decoded.ok) << decoded.problem;
    bool anyRead = false;
    for (std::size_t i = 0; i < zk::nv::CalibrationList().size(); ++i)
      anyRead = anyRead || decoded.contents.flags.Get(zk::nv::ListId::Calibration, i, 0) != 0;
    EXPECT_TRUE(anyRead) << "the backup holds no item";
    fs::remove(backups.front());
  }
}

TEST_F(UpgradeExports, StagedKindFallingSilentInEveryStepIsNeverASuccess) {
  const SilenceRow rows[] = {{1, 101, false},   {9, 303, false},   {28, 102, false}, {227, 103, true},
                             {236, 104, true},  {244, 314, true},  {246, 403, true}, {252, 105, true}};
  for (const SilenceRow& row : rows) RunSilentFrom(0, row);
}

// An unanswered script write is a warning; the silent handset then fails
// the mode entry after the script.
TEST_F(UpgradeExports, FullKindFallingSilentInEveryStepIsNeverASuccess) {
  const SilenceRow rows[] = {{1, 109, false},   {28, 110, false},  {551, 111, true}, {556, 112, true},
                             {565, 113, true},  {575, 404, true},  {582, 116, true}, {596, 117, true},
                             {1121, 120, false}, {1124, 104, false}};
  for (const SilenceRow& row : rows) RunSilentFrom(2, row);
}

// The BREW directory comes from beside the script, else from the host's
// fallback directory; with neither the upgrade stops before writing either.
// A script whose write the handset refuses ends with warnings: a failure
// for a host with result buffers.
TEST_F(UpgradeExports, BrewDirectoryAndScriptWarnings) {
  StartSim({"--nv-write-status", "37/0=5"});
  const fs::path script = Write("job/job.scr", "NV_WRITE ACCOLC 0 5 6\n");
  EXPECT_EQ(Staged(0, Image("a.bin"), script.string()), 0);
  EXPECT_EQ(result_, 306000);
  EXPECT_FALSE(fs::exists(State() / "efs" / "brew" / "app.txt"));

  Write("fallback/brew_script/brew/app.txt", "app");
  EXPECT_EQ(Staged(0, Image("a.bin"), script.string()), 0);
  EXPECT_EQ(result_, 108000);
  sim_.Stop();
  EXPECT_EQ(ReadAll(State() / "efs" / "brew" / "app.txt"), (Bytes{'a', 'p', 'p'}));
}

class UpgradeExportsWithoutHost : public UpgradeExports {
 protected:
  bool HostBuffers() const override { return false; }
};

// Without result buffers the warnings are shown (code 50) and the upgrade
// still succeeds: the handset holds the image and its items.
TEST_F(UpgradeExportsWithoutHost, ScriptWarningsAreShownAndTheUpgradeSucceeds) {
  StartSim({"--nv-write-status", "37/0=5"});
  Write("job/brew_script/brew/app.txt", "app");
  const fs::path script = Write("job/job.scr", "NV_WRITE ACCOLC 0 5 6\n");
  EXPECT_EQ(Staged(0, Image("a.bin"), script.string()), 1);
  EXPECT_EQ(result_, -1) << "no result cell was registered";
}

}  // namespace
