// The golden script run on the simulated handset over a real pty: what the
// handset's NV store holds afterwards is compared with the hand-worked table.
// The handset refuses BANNER, and kind 2 holds back A_KEY and SEC_CODE; both
// must leave nothing stored.
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <utility>

#include "operations/script_run.h"
#include "sim_link_fixture.h"
#include "support/script_golden.h"

namespace {

namespace fs = std::filesystem;
using namespace zk::test::golden;
using ScriptGoldenSimTest = zk::test::SimLinkTest;

constexpr uint16_t kRefusedItem = 71;  // BANNER, line 31
constexpr int kRefusedLine = 31;
constexpr uint8_t kNvWriteCode = 0x27;

TEST_F(ScriptGoldenSimTest, HandsetHoldsTheHandWorkedValues) {
  struct Row {
    int kind;
    std::set<uint16_t> heldBack;
  } rows[] = {{0, {}}, {2, {25, 85}}};  // kinds 2 and 3 keep A_KEY and SEC_CODE back

  for (const Row& row : rows) {
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    auto options = Options();
    options.personality.startInDm = true;
    options.stateDir = home_.path() / ("state" + std::to_string(row.kind));
    options.faults.nvStatus = {{kRefusedItem, -1, 7, false, true}};
    StartSim(std::move(options));
    const fs::path script = home_.path() / "golden.scr";
    std::ofstream(script, std::ios::binary) << kScript;

    ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
    zk::operations::ScriptRunReport report;
    EXPECT_EQ(zk::operations::RunScriptFile(script.string(), row.kind, zk::operations::LibraryHandset(), &report),
              zk::operations::kScriptWarned);
    std::vector<int> failed;
    for (const auto& outcome : report.outcomes)
      if (!outcome.done) failed.push_back(outcome.number);
    EXPECT_EQ(failed, std::vector<int>{kRefusedLine});

    // A later line for the same item and NAM replaces an earlier one (ESN).
    const std::vector<GoldenWrite> table = GoldenWrites();
    std::map<std::pair<uint16_t, int>, const GoldenWrite*> last;
    for (const GoldenWrite& write : table) last[{write.item, write.nam < 0 ? -1 : write.nam}] = &write;
    EXPECT_EQ(Frames(kNvWriteCode).size(), table.size() - row.heldBack.size());

    sim_->WithHandset([&](rb310::Handset& handset) {
      for (const auto& [key, write] : last) {
        SCOPED_TRACE("line " + std::to_string(write->line));
        const auto stored = handset.nv().store().Read(key.first, key.second);
        if (key.first == kRefusedItem || row.heldBack.count(key.first) != 0) {
          EXPECT_FALSE(stored);
          continue;
        }
        ASSERT_TRUE(stored);
        EXPECT_EQ(std::vector<uint8_t>(stored->begin(), stored->end()), Padded(write->bytes, stored->size()));
      }
    });
    g_diagLink.ClosePort();
    sim_->Stop();
    sim_.reset();
  }
}

}  // namespace
