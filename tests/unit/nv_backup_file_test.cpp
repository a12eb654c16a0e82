// The .bak file: what is written reads back, and foreign or damaged files are refused.
#include <gtest/gtest.h>

#include "nv/nv_backup_file.h"

namespace zk::nv {
namespace {

constexpr std::size_t kCalibrationRecords = kImageSize;
constexpr std::size_t kSettingsRecords = kCalibrationRecords + 204 * 12;
constexpr std::size_t kNamRecords = kSettingsRecords + 198 * 12;

BackupContents Sample() {
  BackupContents contents;
  for (std::size_t i = 0; i < kImageSize; ++i) contents.image[i] = static_cast<uint8_t>(i * 7);
  contents.flags.Set(ListId::Calibration, 0, 0, 1);
  contents.flags.Set(ListId::Settings, 197, 0, 1);
  contents.flags.Set(ListId::Nam, 55, 1, 1);
  return contents;
}

TEST(NvBackupFile, RoundTripKeepsImageAndFlagsInTheirPlaces) {
  const auto bytes = EncodeBackupFile(Sample());
  ASSERT_EQ(bytes.size(), kBackupFileSize);
  EXPECT_EQ(bytes[kSettingsRecords - 12 + 0], 2063 & 0xFF);  // last calibration record: item 2063
  EXPECT_EQ(bytes[kSettingsRecords - 12 + 1], 2063 >> 8);
  EXPECT_EQ(bytes[kNamRecords + 55 * 12], 168);  // last NAM record: item 168, flag 1 set
  EXPECT_EQ(bytes[kNamRecords + 55 * 12 + 9], 1);

  const auto decoded = DecodeBackupFile(bytes);
  ASSERT_TRUE(decoded.ok) << decoded.problem;
  EXPECT_EQ(decoded.contents.image, Sample().image);
  EXPECT_TRUE(decoded.contents.flags.WasRead(0, kNoNam));
  EXPECT_TRUE(decoded.contents.flags.WasRead(4, kNoNam));
  EXPECT_TRUE(decoded.contents.flags.WasRead(168, 1));
  EXPECT_FALSE(decoded.contents.flags.WasRead(168, 0));
  EXPECT_EQ(EncodeBackupFile(decoded.contents), bytes);
}

TEST(NvBackupFile, RefusesForeignOrDamagedFiles) {
  struct Case {
    const char* what;
    std::size_t size;
    std::size_t offset;  // byte to change, or SIZE_MAX
    uint8_t value;
    const char* problem;
  };
  const Case cases[] = {
      {"short", 1200, SIZE_MAX, 0, "is 1200 bytes, an NV backup file has 13664"},
      {"long", kBackupFileSize + 1, SIZE_MAX, 0, "is 13665 bytes, an NV backup file has 13664"},
      {"other item", kBackupFileSize, kCalibrationRecords + 12 + 1, 3,
       "calibration record 2 names item 858 where item 90 NV_VBATT_I belongs: not a backup of this handset model"},
      {"high item bits", kBackupFileSize, kNamRecords + 3, 1,
       "NAM record 1 names item 16777248 where item 32 NV_MIN1_I belongs: not a backup of this handset model"},
      {"flag 2", kBackupFileSize, kSettingsRecords + 8, 2,
       "settings record 1 (item 5 NV_SLOT_CYCLE_INDEX_I) has read flag 0 = 2: the file is damaged"},
      {"NAM 1 flag on a single item", kBackupFileSize, kCalibrationRecords + 9, 1,
       "calibration record 1 (item 0 NV_ESN_I) has read flag 1 = 1: the file is damaged"},
      {"NAM flag 255", kBackupFileSize, kNamRecords + 12 + 9, 255,
       "NAM record 2 (item 33 NV_MIN2_I) has read flag 1 = 255: the file is damaged"},
  };
  const auto good = EncodeBackupFile(Sample());
  for (const auto& c : cases) {
    auto bytes = good;
    bytes.resize(c.size);
    if (c.offset != SIZE_MAX) bytes[c.offset] = c.value;
    const auto decoded = DecodeBackupFile(bytes);
    EXPECT_FALSE(decoded.ok) << c.what;
    EXPECT_EQ(decoded.problem, c.problem) << c.what;
  }
}

}  // namespace
}  // namespace zk::nv
