// The golden script: what the parser makes of every value form, and where
// the values land in the NV image.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "nv/nv_catalogue.h"
#include "script/script_image.h"
#include "script/script_items.h"
#include "script/script_parser.h"
#include "support/script_golden.h"

namespace {

using namespace zk::script;
using namespace zk::test::golden;

TEST(ScriptGolden, EveryValueFormGivesTheHandWorkedBytes) {
  const ScriptParse parse = ParseScript(kScript, {"efs_scr", 0});
  ASSERT_EQ(parse.lines.size(), 33u);
  EXPECT_FALSE(parse.failureFlag);
  for (const GoldenWrite& want : GoldenWrites()) {
    const ParsedLine& line = parse.lines[static_cast<std::size_t>(want.line - 1)];
    ASSERT_EQ(line.number, want.line);
    EXPECT_FALSE(line.Fails()) << line.text;
    EXPECT_EQ(line.action, Action::kNvWrite) << line.text;
    EXPECT_EQ(line.nv.item, want.item) << line.text;
    EXPECT_EQ(line.nv.nam, want.nam) << line.text;
    EXPECT_EQ(std::vector<uint8_t>(line.nv.data.begin(), line.nv.data.begin() + line.nv.length), want.bytes)
        << line.text;
  }
}

// The fixed slots of the NV image: ACCOLC 866 (3-byte entries), MIN1 792
// (9-byte entries), A_KEY 720, DIR_NUMBER 916, ESN 1183; the placed slots of
// SID_NID, IMSI_ADDR_NUM and BANNER are looked up.
TEST(ScriptGolden, ValuesLandInTheImageSlotsTheWritesArePackedFrom) {
  zk::nv::NvImage image{};
  const ScriptParse parse = ParseScript(std::string(kScript) + "NV_WRITE IMSI_ADDR_NUM 0 3\n", {"efs_scr", 0});
  const auto withoutSlot = FillScriptImage(parse, image);
  auto at = [&](std::size_t offset, std::size_t count) {
    return std::vector<uint8_t>(image.begin() + static_cast<long>(offset), image.begin() + static_cast<long>(offset + count));
  };
  auto slotOf = [](uint16_t item) { return zk::nv::FindSlot(item).value_or(zk::nv::Slot{0, 0, false}); };
  EXPECT_EQ(at(866, 6), Hex("00 00 00 01 03 0C"));  // only the NAM 1 entry was written
  EXPECT_EQ(at(792, 9), Hex("00 7B 04 6F 00 E7 2B 6F 00"));
  EXPECT_EQ(at(720, 9), Hex("00 EF CD AB 89 67 45 23 01"));
  EXPECT_EQ(at(916, 11), Hex("00 36 31 39 35 35 35 31 32 33 34"));
  EXPECT_EQ(at(1183, 4), Hex("00 00 00 00"));  // the later ESN line wins
  const auto sidNid = slotOf(38);
  ASSERT_EQ(sidNid.TotalBytes(), 4u);
  EXPECT_EQ(at(sidNid.offset, 4), Hex("00 01 01 00"));  // off TRUE 1 maybe
  const auto addrNum = slotOf(209);
  ASSERT_EQ(addrNum.TotalBytes(), 4u);
  EXPECT_EQ(at(addrNum.offset, 4), Hex("00 03 00 00"));  // NAM 0 entry written, NAM 1 left
  const auto banner = slotOf(71);
  ASSERT_EQ(banner.TotalBytes(), 17u);  // the whole record, not only the text
  EXPECT_EQ(at(banner.offset, 17), Hex("4D 79 20 50 68 6F 6E 65 00 00 00 00 01 02 03 04 10"));
  EXPECT_TRUE(withoutSlot.empty());
}

// Every item a script can write has a slot that holds its whole record.
TEST(ScriptGolden, EveryWritableItemFitsItsImageSlot) {
  for (const ScriptItem& row : ScriptItems()) {
    if (row.item == kNoNumber || row.form == ValueForm::kNotWritable) continue;
    const auto slot = zk::nv::FindSlot(row.item);
    ASSERT_TRUE(slot) << row.key;
    EXPECT_GE(slot->EntryBytes(), RecordBytes(row)) << row.key;
    EXPECT_EQ(slot->perNam, IsPerNam(row.form) || WritesNamZero(row)) << row.key;
  }
}

// An item the image has no slot for still fails to build, by its key.
TEST(ScriptGolden, AnItemWithoutASlotFailsToBuild) {
  ScriptParse parse = ParseScript("NV_WRITE ALERTS_LVL 3\n", {"efs_scr", 0});
  ASSERT_EQ(parse.lines.size(), 1u);
  ASSERT_FALSE(parse.lines[0].Fails());
  parse.lines[0].nv.item = 999;  // no slot: as if the table named an item the image lacks
  zk::nv::NvImage image{};
  const auto withoutSlot = FillScriptImage(parse, image);
  ASSERT_EQ(withoutSlot.size(), 1u);
  EXPECT_EQ(withoutSlot[0], &parse.lines[0]);
  EXPECT_EQ(image, zk::nv::NvImage{});
  EXPECT_EQ(WriteBuildFailText(withoutSlot[0]->nv.row->key), "ALERTS_LVL : Write build fail");
}

}  // namespace
