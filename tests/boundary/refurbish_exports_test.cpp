// The refurbish exports as a host calls them: libzkdownload.so loaded with
// dlopen, a real rb310-sim process whose NV items go with its file system,
// the headless operator interface and a small time scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::Resolve;

using ReportingFn = int (*)(short, int, const char*, const char*, short, short, short, short);
using SilentFn = int (*)(short, const char*, const char*, short);
using PassParaFn = int (*)(short, int*, unsigned char*, int, int, int*, unsigned char*, unsigned char*, const char*,
                           const char*, const char*, const char*, const char*, int, int, int);
using LastResultFn = int (*)();

constexpr short kPortIndex = 7;  // COM8

// Every file below `root`, by its relative path.
std::map<std::string, Bytes> Tree(const fs::path& root) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ReadAll(entry.path());
  return files;
}

class RefurbishExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr);
    reporting_ = Resolve<ReportingFn>("RefurbishUSB_Interface");
    silent_ = Resolve<SilentFn>("Refurbish_UPST_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(reporting_ && silent_ && lastResult_);
    fs::create_directories(Job() / "brew_script" / "brew");
    fs::create_directories(Job() / "efs_scr");
    std::ofstream(Job() / "brew_script" / "brew" / "app.mod") << "brew application";
    std::ofstream(Job() / "efs_scr" / "note.txt") << "provisioned";
    std::ofstream(Script()) << "EFS x note.txt\n";
    fs::create_directories(State() / "efs" / "user");
    std::ofstream(State() / "efs" / "user" / "photo.jpg") << "the last owner's photo";
    // ACCOLC of NAM 0 as this handset's own value.
    fs::create_directories(State() / "nv");
    Bytes accolc(128, 0);
    accolc[1] = 7;
    std::ofstream(State() / "nv" / "37-0.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(accolc.data()), static_cast<std::streamsize>(accolc.size()));
  }
  void TearDown() override { sim_.Stop(); }
  void StartSim(const std::string& restartDelayMs = "200") {
    const std::vector<std::string> args{"--port", "COM8", "--state", State().string(), "--restart-delay",
                                        restartDelayMs, "--nv-lost-on-efs-erase"};
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }
  void Register() {
    const auto passPara = Resolve<PassParaFn>("fnPassPara_Interface");
    ASSERT_NE(passPara, nullptr);
    ASSERT_EQ(passPara(1, &result_, version_, 0, 0, &count_, names_, times_, "", "", "", "", "", 0, 1, 0), 1);
  }
  fs::path Job() const { return home_.path() / "job"; }
  fs::path Script() const { return Job() / "job.scr"; }
  fs::path State() const { return home_.path() / "state"; }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  ReportingFn reporting_ = nullptr;
  SilentFn silent_ = nullptr;
  LastResultFn lastResult_ = nullptr;
  int result_ = -1, count_ = 0;
  unsigned char version_[16]{}, names_[1000]{}, times_[1000]{};
};

// The items come back although the erase took them; the old owner's files
// go, the brew_script files and the script's file arrive.
TEST_F(RefurbishExports, KeepsNvAndAuthenticationItemsAndProvisionsAnEmptyFileSystem) {
  StartSim();
  Register();
  const int countBefore = count_;
  const auto nvBefore = Tree(State() / "nv");
  ASSERT_FALSE(nvBefore.empty());

  ASSERT_EQ(reporting_(0, 0, "", Script().c_str(), kPortIndex, 0, 0, -1), 1) << result_;
  EXPECT_EQ(result_, 1);
  const auto nvAfter = Tree(State() / "nv");
  for (const auto& [name, bytes] : nvBefore) {
    const auto kept = nvAfter.find(name);
    ASSERT_NE(kept, nvAfter.end()) << name << " was not written back";
    EXPECT_EQ(kept->second, bytes) << name;
  }
  EXPECT_FALSE(fs::exists(State() / "efs" / "user" / "photo.jpg"));
  EXPECT_EQ(ReadAll(State() / "efs" / "brew" / "app.mod"), Bytes({'b', 'r', 'e', 'w', ' ', 'a', 'p', 'p', 'l', 'i', 'c',
                                                                 'a', 't', 'i', 'o', 'n'}));
  EXPECT_TRUE(fs::exists(State() / "efs" / "note.txt"));

  const char* stages[] = {"NV Reading", "EFS Erasing ", "ChangeToDM...", "END"};
  ASSERT_EQ(count_ - countBefore, 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_STREQ(reinterpret_cast<const char*>(names_ + 100 * (countBefore + i)), stages[i]) << i;
}

// Silent: no brew_script write, and a script warning is a failure the host
// sees; attended, the warning is shown and the refurbish succeeds.
TEST_F(RefurbishExports, SilentModeSkipsTheBrewWriteAndWarningsDecideByWhoIsThere) {
  StartSim();
  ASSERT_EQ(silent_(0, "", Script().c_str(), kPortIndex), 1) << lastResult_();
  EXPECT_FALSE(fs::exists(State() / "efs" / "brew"));
  EXPECT_TRUE(fs::exists(State() / "efs" / "note.txt"));

  std::ofstream(Script()) << "EFS x note.txt\nNV_WRITE NO_SUCH_ITEM 0 1\n";
  EXPECT_EQ(silent_(0, "", Script().c_str(), kPortIndex), 0);
  EXPECT_EQ(lastResult_(), 506050);
  EXPECT_EQ(reporting_(0, 0, "", Script().c_str(), kPortIndex, 0, 0, -1), 1) << lastResult_();
  EXPECT_TRUE(fs::exists(State() / "efs" / "brew" / "app.mod"));
}

// A handset that fails after the erase has lost its items: the host's
// station keeps them in a backup file beside it.
TEST_F(RefurbishExports, AFailureAfterTheEraseKeepsTheItemsInABackupFile) {
  StartSim("3600000");  // the restart after the erase never ends
  Register();
  const fs::path cwd = fs::current_path();
  fs::current_path(home_.path());
  EXPECT_EQ(reporting_(0, 0, "", Script().c_str(), kPortIndex, 0, 0, -1), 0);
  fs::current_path(cwd);
  EXPECT_EQ(result_ / 1000, 504);
  int backups = 0;
  for (const auto& entry : fs::directory_iterator(home_.path()))
    if (entry.path().extension() == ".bak") ++backups;
  EXPECT_EQ(backups, 1);
}

}  // namespace
