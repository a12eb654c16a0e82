// The data backup exports as a host calls them: libzkdownload.so through
// dlopen against a real rb310-sim process whose NV items the test seeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "nv/nv_catalogue.h"
#include "services/nv_items.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Resolve;
using DataBackupFn = int (*)(short, const char*, const char*, short);
using LastResultFn = int (*)();
using BackupFileWriteFn = int (*)(short, int, const char*, short);
using ToFileFn = int (*)(short, const char*, const char*);

constexpr short kPortIndex = 4;  // COM5
using Bytes = std::vector<uint8_t>;

// Where the handset keeps an entry, and the value the test gives it.
struct Seed {
  fs::path file;
  Bytes field;
};

std::vector<Seed> SeedEveryItem(const fs::path& nvDirectory) {
  fs::create_directories(nvDirectory);
  std::vector<Seed> seeds;
  const auto add = [&](const zk::nv::CatalogueItem& entry, int nam) {
    const auto slot = zk::nv::FindSlot(entry.item);
    const bool handsetNam = rb310::DefaultNamItems().count(entry.item) != 0;
    if (!slot || slot->perNam != handsetNam) return;  // the handset files it elsewhere
    Bytes field(128, 0);
    const std::size_t start = slot->perNam ? 1 : 0;
    if (slot->perNam) field[0] = static_cast<uint8_t>(nam);
    for (std::size_t i = 0; i < slot->size; ++i) field[start + i] = static_cast<uint8_t>(entry.item * 7 + i + nam * 3 + 1);
    const std::string name = std::to_string(entry.item) + (slot->perNam ? "-" + std::to_string(nam) : "") + ".bin";
    seeds.push_back({nvDirectory / name, field});
    std::ofstream(seeds.back().file, std::ios::binary).write(reinterpret_cast<const char*>(field.data()), 128);
  };
  for (const auto& entry : zk::nv::CalibrationList()) add(entry, 0);
  for (const auto& entry : zk::nv::SettingsList()) add(entry, 0);
  for (const auto& entry : zk::nv::NamList()) add(entry, 0), add(entry, 1);
  return seeds;
}

Bytes Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

class NvBackupExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr);
    read_ = Resolve<DataBackupFn>("DataBackupRead_Interface");
    write_ = Resolve<DataBackupFn>("DataBackupWrite_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(read_ && write_ && lastResult_);
    fs::create_directories(state() / "efs" / "user");
    std::ofstream(state() / "efs" / "user" / "note.txt") << "kept";
  }
  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port", "COM5", "--state", state().string(), "--dm", "--dm-baud", "38400"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }
  fs::path state() const { return home_.path() / "state"; }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  DataBackupFn read_ = nullptr, write_ = nullptr;
  LastResultFn lastResult_ = nullptr;
};

TEST_F(NvBackupExports, ReadThenWriteBringsBackEveryCataloguedValue) {
  const std::vector<Seed> seeds = SeedEveryItem(state() / "nv");
  ASSERT_GT(seeds.size(), 500u);
  StartSim();
  const fs::path backup = home_.path() / "backup";
  fs::create_directories(backup);
  ASSERT_EQ(read_(2, "", backup.string().c_str(), kPortIndex), 1) << lastResult_();
  EXPECT_TRUE(fs::exists(backup / "Efs_COM5" / "user" / "note.txt"));

  for (const Seed& seed : seeds) fs::remove(seed.file);  // the handset loses its NV
  ASSERT_EQ(write_(2, "", backup.string().c_str(), kPortIndex), 1) << lastResult_();
  for (const Seed& seed : seeds) EXPECT_EQ(Contents(seed.file), seed.field) << seed.file;
}

// A handset that keeps its NV locked (the code is refused) answers every
// read with 0x42: a backup holding nothing is no success.
TEST_F(NvBackupExports, ReadOfALockedHandsetFails) {
  SeedEveryItem(state() / "nv");
  StartSim({"--nv-lock-reads", "--spc", "000000"});
  const fs::path backup = home_.path() / "backup";
  fs::create_directories(backup);
  EXPECT_EQ(read_(2, "", backup.string().c_str(), kPortIndex), 0);
  EXPECT_EQ(lastResult_(), 110050);
}

TEST_F(NvBackupExports, RefusedWritesFailTheDataBackupWrite) {
  SeedEveryItem(state() / "nv");
  StartSim({"--nv-write-status", "138=7"});
  const fs::path backup = home_.path() / "backup";
  fs::create_directories(backup);
  ASSERT_EQ(read_(2, "", backup.string().c_str(), kPortIndex), 1) << lastResult_();
  EXPECT_EQ(write_(2, "", backup.string().c_str(), kPortIndex), 0);
  EXPECT_EQ(lastResult_(), 117050);
}

// The open-file dialog is answered through ZKDOWNLOAD_ANSWERS: a cancel
// succeeds without the port, a file that is no backup is refused before the
// port, and a backup saved by the library restores every value.
TEST_F(NvBackupExports, BackupFileWriteAsksForTheFileAndChecksItFirst) {
  const auto fileWrite = Resolve<BackupFileWriteFn>("BackupFileWrite_Interface");
  const auto toFile = Resolve<ToFileFn>("NvBackupToFile_Interface");
  ASSERT_TRUE(fileWrite && toFile);
  zk::test::ScopedEnv ui("ZKDOWNLOAD_UI", "none");
  {
    zk::test::ScopedEnv answers("ZKDOWNLOAD_ANSWERS", "Cancel");
    EXPECT_EQ(fileWrite(2, 0, "", 0x0010), 1);  // no simulator runs: the port was never needed
  }
  const fs::path damaged = home_.path() / "damaged.bak";
  std::ofstream(damaged) << "short";
  {
    zk::test::ScopedEnv answers("ZKDOWNLOAD_ANSWERS", damaged.string().c_str());
    EXPECT_EQ(fileWrite(2, 0, "", 0x0010), 0);
    EXPECT_EQ(lastResult_(), 117041);
  }
  const std::vector<Seed> seeds = SeedEveryItem(state() / "nv");
  StartSim();
  const fs::path saved = home_.path() / "saved.bak";
  ASSERT_EQ(toFile(kPortIndex, "", saved.string().c_str()), 1) << lastResult_();
  for (const Seed& seed : seeds) fs::remove(seed.file);
  zk::test::ScopedEnv answers("ZKDOWNLOAD_ANSWERS", saved.string().c_str());
  ASSERT_EQ(fileWrite(2, 0, "", 0x0010), 1) << lastResult_();
  for (const Seed& seed : seeds) EXPECT_EQ(Contents(seed.file), seed.field) << seed.file;
}

}  // namespace
