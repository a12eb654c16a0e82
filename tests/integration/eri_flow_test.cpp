// The ERI read and write flows and the provisioning write end to end: the
// library-wide link over a real pty against the in-process simulated
// handset, whose file system lives in <state>/efs and is compared with the
// PC files byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/dispatcher.h"
#include "handset.h"
#include "operations/eri_download.h"
#include "operations/provision_write.h"
#include "platform/library_state.h"
#include "services/diag_codes.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"
#include "support/library_objects.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::WriteAll;
using zk::ui::DialogAnswer;

constexpr uint16_t kModeReset = 2;

class EndDialogUi : public zk::test::RecordingUi {
 public:
  DialogAnswer ShowEndDialog(const zk::ui::EndDialogView&) override {
    ++endDialogs;
    if (endAnswers.empty()) return DialogAnswer::End;
    const DialogAnswer answer = endAnswers.front();
    endAnswers.pop_front();
    return answer;
  }
  int endDialogs = 0;
  std::deque<DialogAnswer> endAnswers;
};

// Every regular file below `root`, by relative path, with its bytes.
std::map<std::string, Bytes> Tree(const fs::path& root) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).generic_string()] = ReadAll(entry.path());
  return files;
}

class EriFlow : public zk::test::SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    g_commonProcess.SetOperatorUi(&ui_);
  }

  void StartHandset(rb310::FaultOptions faults = {}) {
    auto options = Options();
    options.personality.restartDelayMs = 200;
    options.faults = std::move(faults);
    StartSim(std::move(options));
  }

  fs::path Efs() const { return sim_->stateDir() / "efs"; }
  fs::path HandsetEri() const { return Efs() / "eri" / "eri.bin"; }
  fs::path Local(const std::string& name) const { return home_.path() / name; }

  int Write(const fs::path& path, const char* spc = "") {
    return g_eriDownload.Write(0, spc, path.c_str(), kPortIndex, 0, 0, -1);
  }
  int Read(const fs::path& path, bool unattended = false) {
    return g_eriDownload.Read(0, "", path.c_str(), kPortIndex, 0, 0, -1, unattended);
  }

  int ResetRequests() const {
    int count = 0;
    for (const auto& entry : Frames(rb310::diag::kModeControl))
      if (rb310::GetLe16(zk::test::HexBytes(entry.hex), 1) == kModeReset) ++count;
    return count;
  }

  bool Shown(const std::vector<std::string>& texts, const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  EndDialogUi ui_;
};

TEST_F(EriFlow, WriteThenReadRoundTripsByteForByte) {
  StartHandset();
  const Bytes eri = zk::test::PseudoRandomBytes(5000, 1);  // three write and ten read requests
  WriteAll(Local("roam.eri"), eri);
  ui_.endAnswers = {DialogAnswer::Ok, DialogAnswer::End};  // the second handset gets it too

  ASSERT_EQ(Write(Local("roam.eri")), 1);
  EXPECT_EQ(ReadAll(HandsetEri()), eri);
  EXPECT_EQ(ui_.endDialogs, 2);
  EXPECT_EQ(ResetRequests(), 2);
  EXPECT_EQ(sim_->counters().restarts, 2u);
  EXPECT_TRUE(Shown(ui_.statusTexts, "ERI Download"));
  EXPECT_TRUE(Shown(ui_.detailTexts, "roam.eri"));
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_FALSE(g_commonProcess.IsProgressWindowOpen());

  const fs::path copy = Local("copy.eri");
  WriteAll(copy, Bytes(9000, 0x55));  // a longer old file is replaced whole
  ASSERT_EQ(Read(copy), 1);
  EXPECT_EQ(ReadAll(copy), eri);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Successfully Completed!"});
  ASSERT_EQ(Read(copy, true), 1);  // unattended: no message
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

// Each way a read can fail reports 411000, leaves the caller's file as it
// was and notes which way it was.
TEST_F(EriFlow, FailedReadsKeepTheCallersFile) {
  struct Row {
    const char* name;
    const char* handsetFile;  // relative to the handset's root; nullptr: none
    bool refused;             // every request naming the file fails
    int answeredBlocks;       // reads past this many blocks get no answer; -1: all answered
    const char* note;
  };
  const char* const absent = "the handset holds no /eri/eri.bin";
  const std::string copyFailed = "copying /eri/eri.bin to " + Local("kept.eri").string() + " failed";
  const Row rows[] = {
      {"NoEriDirectory", nullptr, false, -1, absent},
      {"OnlyAFileWhoseNameHoldsTheName", "eri/old_eri.bin", false, -1, absent},
      {"HandsetRefusesTheFile", "eri/eri.bin", true, -1, copyFailed.c_str()},
      {"HandsetStopsAnsweringMidCopy", "eri/eri.bin", false, 1, copyFailed.c_str()},
  };
  StartHandset();
  const fs::path target = Local("kept.eri");
  const Bytes old = zk::test::PseudoRandomBytes(700, 2);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(Efs() / "eri");
    if (row.handsetFile != nullptr) {
      fs::create_directories((Efs() / row.handsetFile).parent_path());
      WriteAll(Efs() / row.handsetFile, zk::test::PseudoRandomBytes(1300, 3));
    }
    rb310::FaultOptions faults;
    if (row.refused) faults.efs.failPaths = {"/eri/eri.bin"};
    if (row.answeredBlocks >= 0) faults.efs.dropReadsAfter["/eri/eri.bin"] = static_cast<uint32_t>(row.answeredBlocks);
    sim_->SetFaults(faults);
    WriteAll(target, old);
    g_runState.failureNote.clear();
    EXPECT_EQ(Read(target), 411000);
    EXPECT_EQ(ReadAll(target), old);
    EXPECT_EQ(g_runState.failureNote, row.note);
    EXPECT_TRUE(ui_.messages.empty());
  }
}

TEST_F(EriFlow, WriteFailures) {
  StartHandset();
  WriteAll(Local("roam.eri"), zk::test::PseudoRandomBytes(100, 4));
  // A PC file that is not there, a handset that cannot make /eri, then one
  // that refuses the file: nothing lands and the handset is not reset.
  const auto failedWriting = [&](const char* name) {
    return "writing " + Local(name).string() + " to /eri/eri.bin failed";
  };
  EXPECT_EQ(Write(Local("absent.eri")), 415000);
  EXPECT_EQ(g_runState.failureNote, "cannot read " + Local("absent.eri").string());
  rb310::FaultOptions faults;
  faults.efs.failPaths = {"/eri"};
  sim_->SetFaults(faults);
  EXPECT_EQ(Write(Local("roam.eri")), 415000);
  EXPECT_EQ(g_runState.failureNote, "the handset did not make /eri");
  faults.efs.failPaths = {"/eri/eri.bin"};
  sim_->SetFaults(faults);
  EXPECT_EQ(Write(Local("roam.eri")), 415000);
  EXPECT_EQ(g_runState.failureNote, failedWriting("roam.eri"));
  EXPECT_FALSE(fs::exists(HandsetEri()));
  EXPECT_EQ(ResetRequests(), 0);
  EXPECT_EQ(ui_.endDialogs, 0);
}

TEST_F(EriFlow, WriteWhoseResetFailsReturns416000) {
  StartHandset();
  sim_->WithHandset(zk::test::RefuseResets);
  const Bytes eri = zk::test::PseudoRandomBytes(600, 5);
  WriteAll(Local("roam.eri"), eri);
  EXPECT_EQ(Write(Local("roam.eri")), 416000);
  EXPECT_EQ(ReadAll(HandsetEri()), eri);  // written before the reset was refused
  EXPECT_EQ(sim_->counters().restarts, 0u);
  EXPECT_EQ(ui_.endDialogs, 0);
}

TEST_F(EriFlow, HandsetThatNeverAnswersFailsModeEntry) {
  StartHandset(zk::test::Faults({zk::test::DropAll()}));
  WriteAll(Local("roam.eri"), Bytes(10, 1));
  EXPECT_EQ(Write(Local("roam.eri")), 412002);
  EXPECT_EQ(Read(Local("out.eri")), 417002);
  EXPECT_FALSE(fs::exists(Local("out.eri")));
}

// The unattended write unlocks with the code the host gave, writes the file
// and neither resets the handset nor waits for it.
TEST_F(EriFlow, UnattendedWriteTakesTheHostsCodeAndDoesNotReset) {
  StartHandset();
  g_diagLink.SetSpcCode("999999");  // left behind by an earlier operation
  const Bytes eri = zk::test::PseudoRandomBytes(2100, 6);
  WriteAll(Local("roam.eri"), eri);
  ASSERT_EQ(g_eriDownload.WriteUnattended(1, "135790", Local("roam.eri").c_str(), kPortIndex, 0, 0, -1), 1);
  EXPECT_EQ(ReadAll(HandsetEri()), eri);
  EXPECT_EQ(ResetRequests(), 0);
  EXPECT_EQ(ui_.endDialogs, 0);
  EXPECT_EQ(g_eriDownload.m_kind, 1);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  const auto spc = Frames(rb310::diag::kSpc);
  ASSERT_EQ(spc.size(), 1u);
  EXPECT_EQ(zk::test::HexBytes(spc[0].hex), (Bytes{0x41, '1', '3', '5', '7', '9', '0'}));
}

class ProvisionFlow : public EriFlow {
 protected:
  int Provision(const fs::path& path) { return ProvisionWrite(2, "", path.c_str(), kPortIndex, 0, 0, -1); }
};

TEST_F(ProvisionFlow, SeededDirectoryLandsOnTheHandset) {
  StartHandset();
  const fs::path root = Local("prov") / "Efs_COM5";
  fs::create_directories(root / "cfg" / "net");
  fs::create_directories(root / "brew");
  WriteAll(root / "cfg" / "a.txt", zk::test::PseudoRandomBytes(3000, 7));
  WriteAll(root / "cfg" / "net" / "b.bin", zk::test::PseudoRandomBytes(10, 8));
  WriteAll(root / "brew" / "c.mod", zk::test::PseudoRandomBytes(512, 9));

  ASSERT_EQ(Provision(Local("prov")), 1);
  EXPECT_EQ(Tree(Efs()), Tree(root));
  EXPECT_EQ(ResetRequests(), 1);
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

TEST_F(ProvisionFlow, RestoreThatWroteNothingOrFailedIsNoSuccess) {
  StartHandset();
  // No Efs_COM5 below the path: nothing to write, no reset.
  EXPECT_EQ(Provision(Local("nowhere")), 114028);
  EXPECT_EQ(ResetRequests(), 0);

  // A file the handset refuses: the failure names it, and no reset follows.
  const fs::path root = Local("prov") / "Efs_COM5";
  fs::create_directories(root / "cfg");
  WriteAll(root / "cfg" / "a.txt", Bytes(20, 1));
  rb310::FaultOptions faults;
  faults.efs.failPaths = {"/cfg/a.txt"};
  sim_->SetFaults(faults);
  EXPECT_EQ(Provision(Local("prov")), 114028);
  EXPECT_EQ(g_commonProcess.m_handsetPath, "/cfg/a.txt");
  EXPECT_EQ(ResetRequests(), 0);
}

}  // namespace
