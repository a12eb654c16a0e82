// `zkdownload nv-show` and `nv-diff` on real .bak files: no port, no handset.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "nv/nv_backup_file.h"
#include "support/byte_files.h"
#include "support/command_run.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::CommandOutcome;

class CliNvFile : public ::testing::Test {
 protected:
  CommandOutcome Run(std::vector<std::string> args) {
    return zk::test::RunCommand(zk::test::CliExecutable(), args);
  }
  fs::path Save(const std::string& name, const zk::nv::BackupContents& contents) {
    const fs::path file = home_.path() / name;
    zk::test::WriteAll(file, zk::nv::EncodeBackupFile(contents));
    return file;
  }

  zk::test::TempHome home_;
};

// ESN read, MIN1 read for NAM 1 only; everything else unread.
zk::nv::BackupContents Sample() {
  zk::nv::BackupContents contents;
  contents.image[1183] = 0x78;
  contents.image[1186] = 0x12;
  contents.flags.SetRead(0, zk::nv::kNoNam, 1);
  contents.image[792 + 9] = 1;
  contents.image[792 + 10] = 0xAB;
  contents.flags.SetRead(32, 1, 1);
  return contents;
}

TEST_F(CliNvFile, ShowListsEveryEntryAsTableAndJson) {
  const fs::path file = Save("a.bak", Sample());
  const auto table = Run({"nv-show", file.string()});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("    0  NV_ESN_I"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("yes   78000012\n"), std::string::npos);
  EXPECT_NE(table.out.find("NV_MIN1_I                                      0  no    not read\n"), std::string::npos);
  EXPECT_NE(table.out.find("NV_MIN1_I                                      1  yes   ab00000000000000\n"),
            std::string::npos);
  EXPECT_NE(table.out.find("2 of 514 entries read"), std::string::npos);
  EXPECT_EQ(table.out.find('\x1b'), std::string::npos);  // plain text for log files

  const auto json = Run({"nv-show", "--json", file.string()});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.rfind("[\n  {\"item\": 0, \"name\": \"NV_ESN_I\", \"nam\": null, \"read\": true, \"value\": "
                           "\"78000012\"},",
                           0),
            0u)
      << json.out.substr(0, 200);
  EXPECT_NE(json.out.find("{\"item\": 32, \"name\": \"NV_MIN1_I\", \"nam\": 1, \"read\": true"), std::string::npos);
}

TEST_F(CliNvFile, DiffExitsByWhatItFound) {
  const auto a = Save("a.bak", Sample());
  const auto same = Save("same.bak", Sample());
  auto changed = Sample();
  changed.image[792 + 10] = 0xAC;          // MIN1 NAM 1 value
  changed.flags.SetRead(0, zk::nv::kNoNam, 0);  // ESN no longer read
  changed.image[5000] = 0x55;               // bytes of an unread entry, or of no entry: not a difference
  const auto b = Save("b.bak", changed);

  EXPECT_EQ(Run({"nv-diff", a.string(), same.string()}).status, 0);
  const auto diff = Run({"nv-diff", a.string(), b.string()});
  EXPECT_EQ(diff.status, 1);
  EXPECT_NE(diff.out.find("item 0 NV_ESN_I: A 78000012, B not read\n"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("item 32 NV_MIN1_I NAM 1: A ab00000000000000, B ac00000000000000\n"), std::string::npos);
  EXPECT_NE(diff.out.find("2 entries differ"), std::string::npos);
}

TEST_F(CliNvFile, RefusedFilesAreNamedWithTheirCause) {
  const auto good = Save("good.bak", Sample());
  const fs::path shortFile = home_.path() / "short.bak";
  zk::test::WriteAll(shortFile, zk::test::Bytes(1200, 0));
  auto foreign = zk::nv::EncodeBackupFile(Sample());
  foreign[zk::nv::kImageSize + 12] = 0xE7;  // record 2 names item 999
  foreign[zk::nv::kImageSize + 13] = 0x03;
  const fs::path foreignFile = home_.path() / "foreign.bak";
  zk::test::WriteAll(foreignFile, foreign);

  struct Case {
    std::vector<std::string> args;
    std::string cause;
  };
  const Case cases[] = {
      {{"nv-show", shortFile.string()}, "is 1200 bytes, an NV backup file has 13664"},
      {{"nv-show", (home_.path() / "none.bak").string()}, "none.bak does not exist"},
      {{"nv-diff", good.string(), foreignFile.string()},
       "calibration record 2 names item 999 where item 90 NV_VBATT_I belongs: not a backup of this handset model"},
  };
  for (const auto& c : cases) {
    const auto outcome = Run(c.args);
    EXPECT_EQ(outcome.status, 2) << c.cause;
    EXPECT_NE(outcome.err.find(c.cause), std::string::npos) << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
  }
}

}  // namespace
