// The full script download on the simulated handset: the calibration
// question, the input requirement check, the warning path and the clearing
// of user content.
#include <filesystem>
#include <fstream>

#include "operations/script_clearing_list.h"
#include "operations/script_process.h"
#include "sim_link_fixture.h"

namespace {

namespace fs = std::filesystem;
using zk::ui::MessageAnswer;

// Answers the calibration question as told and notes the error dialogs.
class AnsweringUi : public zk::test::RecordingUi {
 public:
  MessageAnswer ShowMessage(const std::string& text, zk::ui::MessageButtons) override {
    messages.push_back(text);
    return answer;
  }
  zk::ui::DialogAnswer ShowErrorDialog(const zk::ui::ErrorDialogView& view) override {
    errorCodes.push_back(view.code);
    return zk::ui::DialogAnswer::Closed;
  }

  MessageAnswer answer = MessageAnswer::Ok;
  std::vector<int> errorCodes;
};

class ScriptDownloadPathsTest : public zk::test::SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    g_commonProcess.SetOperatorUi(&answering_);
  }

  // A script writing ACCOLC beside a BREW script directory.
  std::string WriteJob() {
    const fs::path job = home_.path() / "job";
    fs::create_directories(job / "brew_script" / "brew");
    std::ofstream(job / "brew_script" / "brew" / "app.txt") << "app";
    std::ofstream(job / "job.scr") << "NV_WRITE ACCOLC 0 5 6\n";
    return (job / "job.scr").string();
  }

  bool AccolcStored() {
    bool stored = false;
    sim_->WithHandset([&](rb310::Handset& handset) { stored = handset.nv().store().Read(37, 0).has_value(); });
    return stored;
  }

  AnsweringUi answering_;
};

constexpr const char* kCalibrationQuestion = "Cal data is not found!!\nDo you want to continue!!";

// Staged kinds fail at once; other kinds ask, and only OK goes on.
TEST_F(ScriptDownloadPathsTest, MissingCalibrationAsksOnlyOutsideTheStagedKinds) {
  struct Row {
    int16_t kind;
    MessageAnswer answer;
    int result;
    bool asked;
  } rows[] = {{0, MessageAnswer::Ok, 303000, false},
              {2, MessageAnswer::Cancel, 303000, true},
              {2, MessageAnswer::Ok, 1, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.kind) + (row.answer == MessageAnswer::Ok ? " OK" : " Cancel"));
    auto options = Options();
    options.personality.startInDm = true;
    options.nv.calibrated = false;
    StartSim(std::move(options));
    answering_.answer = row.answer;
    answering_.messages.clear();
    const std::string script = WriteJob();
    EXPECT_EQ(g_scriptProcess.Run(row.kind, "", script.c_str(), "", 0, kPortIndex, ""), row.result);
    EXPECT_EQ(answering_.messages, row.asked ? std::vector<std::string>{kCalibrationQuestion}
                                             : std::vector<std::string>{});
    EXPECT_EQ(AccolcStored(), row.result == 1);
    g_commonProcess.CloseProgressWindow();
    sim_->Stop();
    sim_.reset();
    fs::remove_all(home_.path() / "state");
  }
}

// With host buffers and the switch on, a marked input that is empty or
// "NULL" ends the staged kinds with 0 before any port is opened; anything
// else reaches the mode entry (no handset here: 301000 + r).
TEST_F(ScriptDownloadPathsTest, RequirementCheckReturnsZeroOnlyForAMissingMarkedInput) {
  struct Row {
    int mode;
    bool requirementSwitch;
    int16_t kind;
    int mask;
    const char* script;
    const char* prl;
    const char* eri;
    const char* fallback;
    bool zero;
  } rows[] = {
      {1, true, 0, 0x10, "a.scr", "", "e", "f", true},
      {1, true, 1, 0x10, "a.scr", "NULL", "e", "f", true},
      {1, true, 0, 0x08, "a.scr", "p", "", "f", true},
      {1, true, 0, 0x02, "NULL", "p", "e", "f", true},
      {1, true, 0, 0x20, "a.scr", "p", "e", "", true},
      {1, true, 0, 0x3A, "a.scr", "p", "e", "f", false},  // all present
      {1, true, 0, 0x04, "", "", "", "", false},          // an unknown bit marks nothing
      {1, true, 0, 0x00, "", "", "", "", false},
      {1, false, 0, 0x10, "a.scr", "", "e", "f", false},  // switch off
      {0, true, 0, 0x10, "a.scr", "", "e", "f", false},   // no host buffers
      {1, true, 2, 0x10, "a.scr", "", "e", "f", false},   // only kinds 0 and 1 check
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("mask " + std::to_string(row.mask) + " kind " + std::to_string(row.kind));
    g_passPara.m_mode = row.mode;
    g_passPara.m_requirementSwitch = row.requirementSwitch;
    g_passPara.m_requirementMask = row.mask;
    g_passPara.m_fallbackDirectory = row.fallback;
    const int result = g_scriptProcess.Run(row.kind, "", row.script, row.prl, 0, kPortIndex, row.eri);
    if (row.zero) EXPECT_EQ(result, 0);
    else EXPECT_EQ(result / 1000, 301) << result;
    g_commonProcess.CloseProgressWindow();
  }
}

// A line the handset refuses: a host with buffers gets 305000; an operator
// sees the dialog for code 50 and the download ends as a success.
TEST_F(ScriptDownloadPathsTest, RefusedLineWarnsByCodeOrByDialog) {
  struct Row {
    int mode;
    int result;
    std::vector<int> dialogs;
  } rows[] = {{1, 305000, {}}, {0, 1, {50}}};
  for (const Row& row : rows) {
    SCOPED_TRACE("mode " + std::to_string(row.mode));
    auto options = Options();
    options.personality.startInDm = true;
    options.faults.nvStatus = {{37, -1, 7, false, true}};  // writes of ACCOLC refused
    StartSim(std::move(options));
    g_passPara.m_mode = row.mode;
    answering_.errorCodes.clear();
    const std::string script = WriteJob();
    EXPECT_EQ(g_scriptProcess.Run(0, "", script.c_str(), "", 0, kPortIndex, ""), row.result);
    EXPECT_EQ(answering_.errorCodes, row.dialogs);
    EXPECT_FALSE(AccolcStored());
    g_commonProcess.CloseProgressWindow();
    sim_->Stop();
    sim_.reset();
  }
}

// Kinds 0 and 1 clear every entry of the clearing list: single files by
// name, the files of the directories; content elsewhere stays. Kind 2 clears
// nothing.
TEST_F(ScriptDownloadPathsTest, OnlyStagedDownloadsClearEveryListedFileAndDirectory) {
  struct Row {
    int16_t kind;
    bool cleared;
  } rows[] = {{0, true}, {2, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE("kind " + std::to_string(row.kind));
    StartDiagHandset();
    const fs::path efs = sim_->stateDir() / "efs";
    auto fileOf = [&](const zk::operations::ClearingEntry& entry) {
      return entry.directory ? efs / entry.path / "content.dat" : efs / entry.path;
    };
    for (const auto& entry : zk::operations::kClearingList) {
      fs::create_directories(fileOf(entry).parent_path());
      std::ofstream(fileOf(entry)) << "user content";
    }
    std::ofstream(efs / "pim" / "keep.dat") << "kept";
    const std::string script = WriteJob();
    EXPECT_EQ(g_scriptProcess.Run(row.kind, "", script.c_str(), "", 0, kPortIndex, ""), 1);
    for (const auto& entry : zk::operations::kClearingList)
      EXPECT_EQ(fs::exists(fileOf(entry)), !row.cleared) << entry.path;
    EXPECT_TRUE(fs::exists(efs / "pim" / "keep.dat"));
    sim_->Stop();
    sim_.reset();
    fs::remove_all(home_.path() / "state");
  }
}

}  // namespace
