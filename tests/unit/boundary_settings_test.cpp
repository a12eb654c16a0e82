// The settings file read at load: byte 65 switches the NV editor option.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "operations/settings_file.h"
#include "operations/upgrade_download.h"
#include "platform/library_state.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::operations::ReadNvEditorOption;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { savedOption_ = g_runState.nvEditorOption; }
  void TearDown() override { g_runState.nvEditorOption = savedOption_; }

  fs::path Write(std::vector<char> bytes) {
    const fs::path file = home_ / "ZKDownload.lsg";
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  // `size` bytes of `fill`, with byte 65 (when present) set to `option`.
  static std::vector<char> Bytes(std::size_t size, char fill, char option) {
    std::vector<char> bytes(size, fill);
    if (size > 65) bytes[65] = option;
    return bytes;
  }

  zk::test::TempHome scopedHome_;
  const fs::path home_ = scopedHome_.path();
  bool savedOption_ = false;
};

TEST_F(SettingsFile, ByteSixtyFiveDecides) {
  EXPECT_TRUE(ReadNvEditorOption(Write(Bytes(100, 0, 1))));
  EXPECT_TRUE(ReadNvEditorOption(Write(Bytes(66, 0, '\x80'))));
  EXPECT_FALSE(ReadNvEditorOption(Write(Bytes(100, 1, 0))));  // only byte 65 counts
  EXPECT_TRUE(ReadNvEditorOption(Write(Bytes(5000, 0, 1))));  // longer than what is read
}

TEST_F(SettingsFile, ShortFileCountsMissingBytesAsZero) {
  EXPECT_FALSE(ReadNvEditorOption(Write(Bytes(65, 1, 1))));  // ends just before byte 65
  EXPECT_FALSE(ReadNvEditorOption(Write({})));
}

TEST_F(SettingsFile, MissingOrUnreadableFileLeavesOptionOff) {
  EXPECT_FALSE(ReadNvEditorOption(home_ / "ZKDownload.lsg"));
  EXPECT_FALSE(ReadNvEditorOption(home_));  // a directory is no settings file
}

TEST_F(SettingsFile, UpgradeObjectReadsTheFileUnderHome) {
  Write(Bytes(100, 0, 1));
  CUpgradeDownload on;
  EXPECT_TRUE(g_runState.nvEditorOption);
  EXPECT_EQ(on.m_modelName, "RB310");

  fs::remove(home_ / "ZKDownload.lsg");
  CUpgradeDownload off;
  EXPECT_FALSE(g_runState.nvEditorOption);
}

}  // namespace
