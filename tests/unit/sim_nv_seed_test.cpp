// The handset's NV values from its first start: the whole catalogue, sized
// as the host's NV image keeps them, and without calibration on request.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "command_line.h"
#include "nv/nv_catalogue.h"
#include "services/diag_codes.h"
#include "services/nv_seed_table.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Ask(HandsetRig& rig, uint16_t item, int nam) {
  const auto answer = rig.Ask(NvRequest(diag::kNvRead, item, {static_cast<uint8_t>(std::max(nam, 0))}));
  EXPECT_TRUE(answer) << item;
  return answer ? *answer : Bytes(133, 0);
}

// The simulator keeps its own copy of the sizes; it must agree with the host's slots.
TEST(SimNvSeed, TableMatchesTheHostImageSlots) {
  ASSERT_EQ(NvSeedItems().size(), zk::nv::AllSlots().size());
  for (const auto& row : NvSeedItems()) {
    const auto slot = zk::nv::FindSlot(row.item);
    ASSERT_TRUE(slot) << row.item;
    EXPECT_EQ(slot->size, row.size) << row.item;
    EXPECT_EQ(slot->perNam, row.perNam) << row.item;
  }
}

TEST(SimNvSeed, FreshHandsetAnswersEveryItemWithinItsSlot) {
  HandsetRig rig;
  for (const auto& row : NvSeedItems()) {
    for (int nam = row.perNam ? 0 : -1; nam <= (row.perNam ? 1 : -1); ++nam) {
      const Bytes answer = Ask(rig, row.item, nam);
      if (row.item == 25) {  // the A-key is never given out
        EXPECT_EQ(Le16(answer, 131), nv::kNotActive);
        continue;
      }
      ASSERT_EQ(Le16(answer, 131), nv::kDone) << row.item << "/" << nam;
      const std::size_t used = (row.perNam ? 1u : 0u) + row.size;
      EXPECT_TRUE(std::all_of(answer.begin() + 3 + used, answer.begin() + 131, [](uint8_t b) { return b == 0; }))
          << "item " << row.item << " answers bytes past its slot";
      if (row.perNam) {
        EXPECT_EQ(answer[3], nam) << row.item;
      }
    }
  }
  const Bytes banner = Ask(rig, 71, -1);
  EXPECT_EQ(Bytes(banner.begin() + 3, banner.begin() + 9), (Bytes{'R', 'B', '3', '1', '0', 0}));
  EXPECT_NE(Le32(Ask(rig, 32, 0), 4), Le32(Ask(rig, 32, 1), 4));  // each NAM has its own number
  const Bytes limits = Ask(rig, 138, -1);
  EXPECT_TRUE(std::any_of(limits.begin() + 3, limits.begin() + 19, [](uint8_t b) { return b != 0; }));
}

TEST(SimNvSeed, UncalibratedHandsetLacksOnlyItsCalibration) {
  const char* argv[] = {"rb310-sim", "--port", "COM4", "--dm", "--nv-no-calibration"};
  SimOptions options = DmOptions();
  ASSERT_EQ(ParseCommandLine(static_cast<int>(std::size(argv)), argv, options), std::nullopt);
  EXPECT_FALSE(options.nv.calibrated);
  HandsetRig rig(options);
  EXPECT_EQ(Le16(Ask(rig, 138, -1), 131), nv::kNotActive);
  EXPECT_EQ(Le16(Ask(rig, 90, -1), 131), nv::kNotActive);
  EXPECT_EQ(Le16(Ask(rig, 0, -1), 131), nv::kDone);  // the ESN stays
  EXPECT_EQ(Le16(Ask(rig, 71, -1), 131), nv::kDone);
  // A written calibration item is held like any other.
  rig.Ask(NvRequest(diag::kNvWrite, 138, {1, 2, 3}));
  EXPECT_EQ(Le16(Ask(rig, 138, -1), 131), nv::kDone);
}

}  // namespace
}  // namespace rb310::test
