// The NV catalogue's lists, the image layout, value transfer and read flags.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "nv/nv_catalogue.h"
#include "nv/nv_image.h"
#include "nv/nv_read_flags.h"

namespace zk::nv {
namespace {

bool Contains(std::span<const CatalogueItem> list, uint16_t item) {
  return std::any_of(list.begin(), list.end(), [&](const CatalogueItem& e) { return e.item == item; });
}

TEST(NvCatalogue, ListsHaveTheirSizesAndEnds) {
  struct Case {
    std::span<const CatalogueItem> list;
    std::size_t count;
    CatalogueItem first, last;
  };
  const Case cases[] = {
      {CalibrationList(), 204, {0, "NV_ESN_I"}, {2063, "NV_AUDIO_ADJ_HFK_I"}},
      {SettingsList(), 198, {5, "NV_SLOT_CYCLE_INDEX_I"}, {4, "NV_SCM_I"}},
      {NamList(), 56, {32, "NV_MIN1_I"}, {168, "NV_AIR_CNT_I"}},
      {LockList(), 1, {82, "NV_LOCK_CODE_I"}, {82, "NV_LOCK_CODE_I"}},
      {NamIdentityList(), 5, {32, "NV_MIN1_I"}, {178, "NV_DIR_NUMBER_I"}},
      {AuthenticationList(), 8, {25, "NV_A_KEY_I"}, {37, "NV_ACCOLC_I"}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.list.size(), c.count) << c.first.name;
    EXPECT_EQ(c.list.front().item, c.first.item);
    EXPECT_STREQ(c.list.front().name, c.first.name);
    EXPECT_EQ(c.list.back().item, c.last.item);
    EXPECT_STREQ(c.list.back().name, c.last.name);
  }
  EXPECT_EQ(CalibrationList()[1].item, 90);
  EXPECT_EQ(CalibrationList()[108].item, 138);  // the calibration check item is also calibrated
  EXPECT_EQ(SettingsList()[38].item, 82);
  EXPECT_EQ(SettingsList()[42].item, 219);
  EXPECT_EQ(kFullPassSteps, 514);
}

TEST(NvCatalogue, SmallListsStandInTheBigOnes) {
  for (const auto& e : LockList()) EXPECT_TRUE(Contains(SettingsList(), e.item)) << e.name;
  for (const auto& e : NamIdentityList()) EXPECT_TRUE(Contains(NamList(), e.item)) << e.name;
  for (const auto& e : AuthenticationList())
    EXPECT_TRUE(Contains(NamList(), e.item) || e.item == 219) << e.name;
  EXPECT_TRUE(Contains(SettingsList(), 219));
  EXPECT_TRUE(Contains(CalibrationList(), kCalibrationCheckItem.item));
}

TEST(NvCatalogue, NamesAndNumbersAnswerBothWays) {
  EXPECT_STREQ(ItemName(2206), "NV_BREW_BKEY_I");
  EXPECT_EQ(ItemName(999), nullptr);
  EXPECT_EQ(ItemNumber("NV_OTKSL_I"), 219);
  EXPECT_FALSE(ItemNumber("NV_NOTHING_I"));
}

TEST(NvImageLayout, SlotsFitWithoutOverlapAndCoverTheCatalogue) {
  const auto slots = AllSlots();
  std::size_t end = 0;
  for (const auto& e : slots) {
    EXPECT_GE(e.slot.offset, end) << "item " << e.item << " overlaps its neighbour";
    end = e.slot.offset + e.slot.TotalBytes();
    EXPECT_LE(end, kImageSize) << "item " << e.item;
    EXPECT_LE(e.slot.EntryBytes(), kDataFieldSize) << "item " << e.item;
  }
  std::set<uint16_t> numbers;
  for (const auto& e : slots) EXPECT_TRUE(numbers.insert(e.item).second) << "two slots for " << e.item;
  for (auto list : {CalibrationList(), SettingsList(), NamList(), LockList(), NamIdentityList(), AuthenticationList()})
    for (const auto& e : list) EXPECT_TRUE(FindSlot(e.item)) << e.name;
}

TEST(NvImageLayout, TellingSlotsSitWhereOtherToolsExpectThem) {
  struct Case {
    uint16_t item;
    uint16_t offset;
    std::size_t entryBytes;
    bool perNam;
  };
  const Case cases[] = {{0, 1183, 4, false},    {25, 720, 9, true},     {27, 744, 9, true},   {29, 768, 9, true},
                        {31, 1062, 2, true},    {32, 792, 9, true},     {33, 810, 5, true},   {37, 866, 3, true},
                        {178, 916, 11, true},   {138, 2236, 16, false}, {2206, 7748, 16, false}};
  for (const auto& c : cases) {
    const auto slot = FindSlot(c.item);
    ASSERT_TRUE(slot) << c.item;
    EXPECT_EQ(slot->offset, c.offset) << c.item;
    EXPECT_EQ(slot->EntryBytes(), c.entryBytes) << c.item;
    EXPECT_EQ(slot->perNam, c.perNam) << c.item;
  }
  // Kept per NAM: exactly the NAM list and NV_OTKSL_I.
  for (const auto& e : AllSlots()) EXPECT_EQ(e.slot.perNam, Contains(NamList(), e.item) || e.item == 219) << e.item;
}

std::array<uint8_t, kDataFieldSize> Field(std::initializer_list<uint8_t> lead) {
  std::array<uint8_t, kDataFieldSize> field{};
  std::copy(lead.begin(), lead.end(), field.begin());
  return field;
}

TEST(NvImage, ValuesTravelBothWaysUnchanged) {
  NvImage image{};
  auto esn = Field({0x78, 0x56, 0x34, 0x12, 0xEE});  // one byte past the 4-byte value
  ASSERT_TRUE(UnpackIntoImage(image, 0, esn));
  EXPECT_EQ(image[1183], 0x78);
  EXPECT_EQ(image[1186], 0x12);
  EXPECT_EQ(image[1187], 0);

  auto min2 = Field({1, 0x11, 0x22, 0x33, 0x44});
  ASSERT_TRUE(UnpackIntoImage(image, 33, min2));
  EXPECT_EQ(image[810 + 5], 1);  // NAM 1 is the second entry, led by its index
  EXPECT_EQ(image[810 + 6], 0x11);
  EXPECT_EQ(image[810], 0);  // NAM 0 untouched

  std::array<uint8_t, kDataFieldSize> out{};
  ASSERT_TRUE(PackFromImage(image, 0, kNoNam, out));
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 4, esn.begin()));
  EXPECT_EQ(out[4], 0);
  ASSERT_TRUE(PackFromImage(image, 33, 1, out));
  EXPECT_EQ(out, min2);
  ASSERT_TRUE(PackFromImage(image, 33, 0, out));
  EXPECT_EQ(out, Field({0}));

  const auto value = ValueBytes(image, 33, 1);
  EXPECT_EQ(std::vector<uint8_t>(value.begin(), value.end()), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
}

TEST(NvImage, RefusesWhatHasNoPlace) {
  NvImage image{};
  const NvImage before = image;
  std::array<uint8_t, kDataFieldSize> out{};
  EXPECT_FALSE(UnpackIntoImage(image, 33, Field({2, 9, 9})));  // no NAM 2
  EXPECT_FALSE(UnpackIntoImage(image, 999, Field({1})));
  EXPECT_EQ(image, before);
  EXPECT_FALSE(PackFromImage(image, 999, kNoNam, out));
  EXPECT_FALSE(PackFromImage(image, 33, 2, out));
  EXPECT_FALSE(PackFromImage(image, 0, 1, out));  // a single item has no NAM 1
  // The settings list reads NV_OTKSL_I without an index: its NAM 0 entry.
  ASSERT_TRUE(UnpackIntoImage(image, 219, Field({0, '1', '2'})));
  ASSERT_TRUE(PackFromImage(image, 219, kNoNam, out));
  EXPECT_EQ(out, Field({0, '1', '2'}));
}

TEST(NvReadFlags, QueryAndSetFollowTheListSearch) {
  NvReadFlags flags;
  EXPECT_TRUE(flags.SetRead(0, kNoNam, 1));
  EXPECT_TRUE(flags.WasRead(0, kNoNam));
  EXPECT_EQ(flags.Get(ListId::Calibration, 0, 0), 1);

  EXPECT_TRUE(flags.SetRead(32, 1, 1));  // NAM 1 entry of NV_MIN1_I only
  EXPECT_TRUE(flags.WasRead(32, 1));
  EXPECT_FALSE(flags.WasRead(32, 0));
  EXPECT_FALSE(flags.WasRead(32, kNoNam));  // a NAM item asked without a NAM
  EXPECT_FALSE(flags.SetRead(32, kNoNam, 1));
  EXPECT_EQ(flags.Get(ListId::Nam, 0, 1), 1);

  EXPECT_TRUE(flags.SetRead(219, kNoNam, 1));  // settings entry
  EXPECT_EQ(flags.Get(ListId::Settings, 42, 0), 1);
  EXPECT_FALSE(flags.WasRead(999, kNoNam));
  EXPECT_FALSE(flags.SetRead(999, 0, 1));
  EXPECT_EQ(flags.Get(ListId::Settings, 0, 1), 0);  // single lists have no NAM 1 flag

  flags.Clear();
  EXPECT_FALSE(flags.WasRead(0, kNoNam));
  EXPECT_FALSE(flags.WasRead(32, 1));
}

}  // namespace
}  // namespace zk::nv
