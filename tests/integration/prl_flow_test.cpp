// The PRL read and write flows of CPRLDown end to end: the library-wide link
// over a real pty against the in-process simulated handset, from the AT
// personality through diagnostic mode, unlock, the block transfer, the reset
// and the restart wait, with the handset's stored lists compared byte by byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "support/library_objects.h"
#include "core/byte_order.h"
#include "core/dispatcher.h"
#include "services/diag_codes.h"
#include "handset.h"
#include "support/library_objects.h"
#include "boundary/export_forms.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"

namespace {

namespace fs = std::filesystem;
using zk::test::DropCode;
using zk::test::DropAll;
using zk::test::Faults;
using zk::test::HexBytes;
using zk::test::SimLinkTest;
using zk::ui::DialogAnswer;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::WriteAll;

constexpr std::size_t kBlock = 40;
constexpr uint16_t kModeReset = 2;

// One PRL write request as the handset received it.
struct Block {
  uint8_t sequence, more, nam;
  uint16_t bits;
  Bytes data;  // the whole 40-byte field
};

// The operator: records the windows and answers the end dialog from a queue
// (END once it is empty).
class FlowUi : public zk::test::RecordingUi {
 public:
  void OpenProgress(const zk::ui::ProgressWindowView&) override { windows.emplace_back(); }
  void CloseProgress() override { ++windowsClosed; }
  void SetProgressText(zk::ui::ProgressControl control, const std::string& text) override {
    RecordingUi::SetProgressText(control, text);
    if (control == zk::ui::ProgressControl::Status && !windows.empty()) windows.back().push_back(text);
  }
  DialogAnswer ShowEndDialog(const zk::ui::EndDialogView& view) override {
    endDialogs.push_back(view.caption);
    if (endAnswers.empty()) return DialogAnswer::End;
    const DialogAnswer answer = endAnswers.front();
    endAnswers.pop_front();
    return answer;
  }
  DialogAnswer ShowErrorDialog(const zk::ui::ErrorDialogView& view) override {
    errorDialogs.push_back(view.code);
    return DialogAnswer::Closed;
  }

  std::vector<std::vector<std::string>> windows;  // status texts, per window opened
  int windowsClosed = 0;
  std::deque<DialogAnswer> endAnswers;
  std::vector<std::string> endDialogs;
  std::vector<int> errorDialogs;
};

class PrlFlow : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    g_commonProcess.SetOperatorUi(&flowUi_);
  }

  // A freshly attached handset: AT personality, quick to restart.
  rb310::SimOptions HandsetOptions() const {
    auto options = Options();
    options.personality.restartDelayMs = 200;
    return options;
  }
  void StartHandset() { StartSim(HandsetOptions()); }

  int Write(const std::string& path, int selector, const char* spc = "") {
    return g_prlDown.Write(0, "", spc, path.c_str(), selector, kPortIndex, 0, 0, -1);
  }
  int Read(const std::string& path, int nam) {
    return g_prlDown.Read(0, "", "", path.c_str(), nam, kPortIndex, 0, 0, -1);
  }

  fs::path Source(const Bytes& list, const std::string& name = "list.prl") {
    const fs::path path = home_.path() / name;
    WriteAll(path, list);
    return path;
  }

  fs::path StoredPath(int nam) const { return sim_->stateDir() / "prl" / ("nam" + std::to_string(nam) + ".bin"); }
  Bytes Stored(int nam) const { return ReadAll(StoredPath(nam)); }

  std::vector<Block> Blocks() const {
    std::vector<Block> blocks;
    for (const auto& entry : Frames(rb310::diag::kPrlWrite)) {
      const Bytes request = HexBytes(entry.hex);
      if (request.size() != 6 + kBlock) {
        ADD_FAILURE() << "PRL write request of " << request.size() << " bytes";
        continue;
      }
      blocks.push_back({request[1], request[2], request[3], rb310::GetLe16(request, 4),
                        Bytes(request.begin() + 6, request.end())});
    }
    return blocks;
  }

  // Mode control requests that asked for the reset.
  int ResetRequests() const {
    int count = 0;
    for (const auto& entry : Frames(rb310::diag::kModeControl))
      if (rb310::GetLe16(HexBytes(entry.hex), 1) == kModeReset) ++count;
    return count;
  }

  // Checks that `blocks` carry `list` to `nam`: sequence numbers from 0
  // (one byte, wrapping), 320-bit blocks with "more" up to the last.
  static void ExpectTransfer(std::span<const Block> blocks, const Bytes& list, uint8_t nam) {
    ASSERT_EQ(blocks.size(), (list.size() + kBlock - 1) / kBlock);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      const bool last = i + 1 == blocks.size();
      const std::size_t count = last ? list.size() - i * kBlock : kBlock;
      SCOPED_TRACE("block " + std::to_string(i));
      EXPECT_EQ(blocks[i].sequence, static_cast<uint8_t>(i));
      EXPECT_EQ(blocks[i].nam, nam);
      EXPECT_EQ(blocks[i].more, last ? 0 : 1);
      EXPECT_EQ(blocks[i].bits, count * 8);
      EXPECT_TRUE(std::equal(blocks[i].data.begin(), blocks[i].data.begin() + static_cast<long>(count),
                             list.begin() + static_cast<long>(i * kBlock)));
    }
  }

  // From the `nth` PRL write request on (counted from now), the handset
  // takes the block but its answer never comes.
  void StopAnsweringPrlWritesFrom(uint32_t nth) {
    rb310::FaultRule rule = DropCode(rb310::diag::kPrlWrite);
    rule.skip = nth - 1;
    sim_->SetFaults(Faults({rule}));
  }

  FlowUi flowUi_;
};

TEST_F(PrlFlow, WriteToFirstNamIsStoredAndReadsBackByteForByte) {
  StartHandset();
  const Bytes list = zk::test::PseudoRandomBytes(1000, 1);
  const fs::path cwd = fs::current_path();

  ASSERT_EQ(Write(Source(list).string(), 0), 1);
  ExpectTransfer(Blocks(), list, 0);
  EXPECT_EQ(Stored(0), list);
  EXPECT_FALSE(fs::exists(StoredPath(1)));

  // Unlock before the first block, the reset after the last, then the
  // restart; one window, closed, then one end dialog for COM5.
  const auto transcript = sim_->transcript();
  std::size_t spc = transcript.size(), firstBlock = transcript.size(), reset = 0;
  for (std::size_t i = 0; i < transcript.size(); ++i) {
    if (transcript[i].kind != "frame") continue;
    if (transcript[i].code == rb310::diag::kSpc && spc == transcript.size()) spc = i;
    if (transcript[i].code == rb310::diag::kPrlWrite && firstBlock == transcript.size()) firstBlock = i;
    if (transcript[i].code == rb310::diag::kModeControl && rb310::GetLe16(HexBytes(transcript[i].hex), 1) == kModeReset)
      reset = i;
  }
  EXPECT_LT(spc, firstBlock);
  EXPECT_GT(reset, firstBlock + Blocks().size() - 1);
  EXPECT_EQ(ResetRequests(), 1);
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_EQ(flowUi_.windows.size(), 1u);
  EXPECT_EQ(flowUi_.windowsClosed, 1);
  EXPECT_EQ(flowUi_.endDialogs, std::vector<std::string>{"Success Download - COM5"});
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_TRUE(g_dlCommon.m_prlList.empty());
  EXPECT_EQ(g_dlCommon.m_prlName, "list.prl");
  EXPECT_NE(std::find(flowUi_.detailTexts.begin(), flowUi_.detailTexts.end(), "list.prl"), flowUi_.detailTexts.end());

  // The handset is back in its AT personality: the read enters again.
  const fs::path copy = home_.path() / "out" / "back.prl";
  fs::create_directories(copy.parent_path());
  ASSERT_EQ(Read(copy.string(), 0), 1);
  EXPECT_EQ(ReadAll(copy), list);
  EXPECT_EQ(flowUi_.messages.back(), "Successfully Completed!");
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(fs::current_path(), cwd);  // the host's current directory is not the library's to move
}

TEST_F(PrlFlow, SelectorOneLeavesTheFirstNamAlone) {
  StartHandset();
  const Bytes before = zk::test::PseudoRandomBytes(80, 2);
  sim_->WithHandset([&](rb310::Handset& handset) { ASSERT_TRUE(handset.prl().store().Save(0, before)); });
  const Bytes list = zk::test::PseudoRandomBytes(130, 3);

  ASSERT_EQ(Write(Source(list).string(), 1), 1);
  ExpectTransfer(Blocks(), list, 1);
  EXPECT_EQ(Stored(0), before);
  EXPECT_EQ(Stored(1), list);

  const fs::path copy = home_.path() / "nam1.prl";
  ASSERT_EQ(Read(copy.string(), 1), 1);
  EXPECT_EQ(ReadAll(copy), list);
}

TEST_F(PrlFlow, SelectorTwoSendsTheFileToBothNamsEachFromSequenceZero) {
  StartHandset();
  const Bytes list = zk::test::PseudoRandomBytes(150, 4);
  ASSERT_EQ(Write(Source(list).string(), 2), 1);

  const auto blocks = Blocks();
  ASSERT_EQ(blocks.size(), 8u);
  ExpectTransfer(std::span(blocks).first(4), list, 0);
  ExpectTransfer(std::span(blocks).last(4), list, 1);
  EXPECT_EQ(Stored(0), list);
  EXPECT_EQ(Stored(1), list);
  EXPECT_EQ(ResetRequests(), 1);

  for (int nam : {0, 1}) {
    const fs::path copy = home_.path() / ("both" + std::to_string(nam) + ".prl");
    ASSERT_EQ(Read(copy.string(), nam), 1);
    EXPECT_EQ(ReadAll(copy), list) << "NAM " << nam;
  }
}

TEST_F(PrlFlow, NothingToSendStillResetsTheHandset) {
  StartHandset();
  // No path at all, then a zero-length file: no block either time.
  ASSERT_EQ(Write("", 0), 1);
  ASSERT_EQ(Write(Source({}).string(), 2), 1);
  EXPECT_TRUE(Blocks().empty());
  EXPECT_EQ(ResetRequests(), 2);
  EXPECT_EQ(sim_->counters().restarts, 2u);
  EXPECT_FALSE(fs::exists(StoredPath(0)));
}

TEST_F(PrlFlow, BlockBoundaries) {
  StartHandset();
  // 41 bytes: a full block with "more", then one byte; the rest of the last
  // block's field still holds the first block's bytes.
  const Bytes odd = zk::test::PseudoRandomBytes(41, 5);
  ASSERT_EQ(Write(Source(odd, "odd.prl").string(), 0), 1);
  auto blocks = Blocks();
  ExpectTransfer(blocks, odd, 0);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].bits, 320);
  EXPECT_EQ(blocks[1].bits, 8);
  EXPECT_TRUE(std::equal(blocks[1].data.begin() + 1, blocks[1].data.end(), odd.begin() + 1));
  EXPECT_EQ(Stored(0), odd);

  // An exact multiple of 40 ends with a full block without "more".
  const Bytes even = zk::test::PseudoRandomBytes(120, 6);
  ASSERT_EQ(Write(Source(even, "even.prl").string(), 0), 1);
  blocks = Blocks();
  ASSERT_EQ(blocks.size(), 5u);
  ExpectTransfer(std::span(blocks).last(3), even, 0);
  EXPECT_EQ(blocks.back().bits, 320);
  EXPECT_EQ(blocks.back().more, 0);
  EXPECT_EQ(Stored(0), even);
}

TEST_F(PrlFlow, ListOfMoreThan256BlocksWrapsTheSequenceNumber) {
  StartHandset();
  const Bytes list = zk::test::PseudoRandomBytes(258 * kBlock + 17, 7);  // 259 blocks
  ASSERT_EQ(Write(Source(list).string(), 0), 1);
  const auto blocks = Blocks();
  ExpectTransfer(blocks, list, 0);
  ASSERT_EQ(blocks.size(), 259u);
  EXPECT_EQ(blocks[255].sequence, 255);
  EXPECT_EQ(blocks[256].sequence, 0);
  EXPECT_EQ(blocks[258].sequence, 2);
  EXPECT_EQ(Stored(0), list);
}

TEST_F(PrlFlow, ServiceProgrammingCodeSent) {
  auto options = HandsetOptions();
  options.security.spc = "135790";
  options.security.requireSpcForWrites = true;
  StartSim(options);
  const Bytes list = zk::test::PseudoRandomBytes(40, 8);
  const fs::path source = Source(list);

  // Empty: the default code goes out. The unlock step does not judge the
  // handset's verdict, so the refusal shows at the first block.
  EXPECT_EQ(Write(source.string(), 0), 405043);
  EXPECT_FALSE(fs::exists(StoredPath(0)));
  // A given code goes out as given, and this handset takes it.
  EXPECT_EQ(Write(source.string(), 0, "135790"), 1);
  EXPECT_EQ(Stored(0), list);

  const auto spc = Frames(rb310::diag::kSpc);
  ASSERT_EQ(spc.size(), 2u);
  EXPECT_EQ(HexBytes(spc[0].hex), (Bytes{0x41, '2', '7', '1', '8', '2', '8'}));
  EXPECT_EQ(HexBytes(spc[1].hex), (Bytes{0x41, '1', '3', '5', '7', '9', '0'}));
}

TEST_F(PrlFlow, MissingFileFailsBeforeAnyBlockAndWithoutReset) {
  StartHandset();
  EXPECT_EQ(Write((home_.path() / "absent.prl").string(), 0), 405041);
  EXPECT_TRUE(Blocks().empty());
  EXPECT_EQ(ResetRequests(), 0);
  EXPECT_EQ(g_dlCommon.m_prlName, "absent.prl");  // the error report names it
  EXPECT_TRUE(flowUi_.endDialogs.empty());
}

TEST_F(PrlFlow, SelectorOutsideZeroToTwoFailsBeforeTheHandsetIsTouched) {
  StartHandset();
  const fs::path source = Source(zk::test::PseudoRandomBytes(80, 16));
  for (const int selector : {3, -1, 255}) {
    SCOPED_TRACE(selector);
    EXPECT_EQ(Write(source.string(), selector), 405041);
    EXPECT_EQ(Write("", selector), 405041);
  }
  EXPECT_TRUE(sim_->transcript().empty());
  EXPECT_EQ(sim_->counters().atLines, 0u);
  EXPECT_EQ(sim_->counters().frames, 0u);
  EXPECT_EQ(sim_->counters().restarts, 0u);
  EXPECT_FALSE(fs::exists(StoredPath(0)));
  EXPECT_FALSE(fs::exists(StoredPath(1)));
}

TEST_F(PrlFlow, ReadIntoMissingDirectoryFailsBeforeAnyRequest) {
  StartHandset();
  EXPECT_EQ(Read((home_.path() / "no-such-dir" / "out.prl").string(), 0), 401034);
  EXPECT_TRUE(Frames(rb310::diag::kPrlRead).empty());
  EXPECT_FALSE(fs::exists(home_.path() / "no-such-dir"));
  EXPECT_TRUE(flowUi_.messages.empty());
}

TEST_F(PrlFlow, HandsetThatStopsAnsweringMidWriteFailsWithoutReset) {
  StartHandset();
  const Bytes before = zk::test::PseudoRandomBytes(60, 9);
  sim_->WithHandset([&](rb310::Handset& handset) { ASSERT_TRUE(handset.prl().store().Save(0, before)); });
  StopAnsweringPrlWritesFrom(3);

  EXPECT_EQ(Write(Source(zk::test::PseudoRandomBytes(200, 10)).string(), 0), 405043);
  const auto blocks = Blocks();
  ASSERT_EQ(blocks.size(), 4u);  // blocks 0 and 1, then block 2 and its one retry
  EXPECT_EQ(blocks[2].sequence, 2);
  EXPECT_EQ(blocks[3].sequence, 2);
  EXPECT_EQ(ResetRequests(), 0);
  EXPECT_EQ(Stored(0), before);  // the unfinished list never replaced the old one
}

TEST_F(PrlFlow, ListPastTheHandsetsCapacityFailsAndKeepsTheOldList) {
  StartHandset();  // the default capacity, 16 KiB
  const Bytes before = zk::test::PseudoRandomBytes(60, 11);
  sim_->WithHandset([&](rb310::Handset& handset) { ASSERT_TRUE(handset.prl().store().Save(0, before)); });

  const Bytes list = zk::test::PseudoRandomBytes(20000, 12);
  EXPECT_EQ(Write(Source(list).string(), 0), 405043);
  // 16384 bytes fill 409 whole blocks and 4 bytes of the next: the store
  // refuses block 409, and the write stops there.
  const auto blocks = Blocks();
  ASSERT_EQ(blocks.size(), 410u);
  EXPECT_EQ(blocks.back().sequence, static_cast<uint8_t>(409));
  EXPECT_EQ(ResetRequests(), 0);
  EXPECT_EQ(Stored(0), before);

  // A list that fits is still written.
  const Bytes fits = zk::test::PseudoRandomBytes(16000, 13);
  EXPECT_EQ(Write(Source(fits, "fits.prl").string(), 0), 1);
  EXPECT_EQ(Stored(0), fits);
}

TEST_F(PrlFlow, ReadReplacesTheTargetOnlyWhenTheWholeListArrived) {
  StartHandset();  // 120 bytes a read answer
  const Bytes list = zk::test::PseudoRandomBytes(600, 14);
  sim_->WithHandset([&](rb310::Handset& handset) { ASSERT_TRUE(handset.prl().store().Save(0, list)); });
  const fs::path target = home_.path() / "saved.prl";
  const Bytes old = zk::test::PseudoRandomBytes(900, 15);
  WriteAll(target, old);

  // The third answer never comes: the target keeps its old list and what
  // did arrive is kept beside it.
  rb310::FaultRule rule = DropCode(rb310::diag::kPrlRead);
  rule.skip = 2;
  sim_->SetFaults(Faults({rule}));
  EXPECT_EQ(Read(target.string(), 0), 401035);
  EXPECT_EQ(ReadAll(target), old);
  EXPECT_EQ(ReadAll(target.string() + ".partial"), Bytes(list.begin(), list.begin() + 240));

  // A whole read replaces the longer old file; no temporary file is left.
  sim_->SetFaults(Faults({}));
  EXPECT_EQ(Read(target.string(), 0), 1);
  EXPECT_EQ(ReadAll(target), list);
  for (const auto& entry : fs::directory_iterator(home_.path()))
    EXPECT_FALSE(entry.path().filename().string().starts_with(".saved.prl")) << entry.path();
}

TEST_F(PrlFlow, HandsetThatNeverAnswersFailsModeEntry) {
  auto options = HandsetOptions();
  options.faults = Faults({DropAll()});
  StartSim(options);
  EXPECT_EQ(Write(Source(zk::test::PseudoRandomBytes(40, 11)).string(), 0), 402002);
  EXPECT_TRUE(Blocks().empty());
  EXPECT_EQ(Read((home_.path() / "r.prl").string(), 0), 407002);
}

TEST_F(PrlFlow, RefusedResetFailsAfterTheListWasWritten) {
  StartHandset();
  sim_->WithHandset(zk::test::RefuseResets);
  const Bytes list = zk::test::PseudoRandomBytes(90, 12);
  EXPECT_EQ(Write(Source(list).string(), 0), 406000);
  EXPECT_EQ(Stored(0), list);
  EXPECT_EQ(sim_->counters().restarts, 0u);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());  // the reset step closes the port whatever its result
}

TEST_F(PrlFlow, HostPathsWithBackslashes) {
  StartHandset();
  fs::create_directories(home_.path() / "lists" / "out");
  const Bytes list = zk::test::PseudoRandomBytes(70, 13);
  WriteAll(home_.path() / "lists" / "win.prl", list);
  const std::string base = home_.path().string() + "\\lists\\";

  ASSERT_EQ(Write(base + "win.prl", 0), 1);
  EXPECT_EQ(Stored(0), list);
  EXPECT_EQ(g_dlCommon.m_prlName, "win.prl");
  ASSERT_EQ(Read(base + "out\\copy.prl", 0), 1);
  EXPECT_EQ(ReadAll(home_.path() / "lists" / "out" / "copy.prl"), list);
}

TEST_F(PrlFlow, OkInTheEndDialogServesTheNextHandset) {
  StartHandset();
  flowUi_.endAnswers = {DialogAnswer::Ok, DialogAnswer::End};
  const Bytes list = zk::test::PseudoRandomBytes(100, 14);

  ASSERT_EQ(Write(Source(list).string(), 0), 1);
  EXPECT_EQ(flowUi_.endDialogs.size(), 2u);
  ASSERT_EQ(flowUi_.windows.size(), 2u);
  EXPECT_EQ(flowUi_.windowsClosed, 2);
  for (const auto& window : flowUi_.windows) {
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(window.front(), "Connecting...");
    EXPECT_EQ(window.back(), "Reset...");
  }
  const auto blocks = Blocks();
  ASSERT_EQ(blocks.size(), 6u);
  ExpectTransfer(std::span(blocks).first(3), list, 0);
  ExpectTransfer(std::span(blocks).last(3), list, 0);
  EXPECT_EQ(ResetRequests(), 2);
  EXPECT_EQ(g_runState.repeatFlag, 0);
}

// A loop that an operator began with OK and that ended in a failure leaves
// the repeat flag set. A host that then drives the library unattended must
// still get one handset per call: nobody is there to attach the next one, so
// repeating would write the same handset again and again.
TEST_F(PrlFlow, UnattendedWriteServesOneHandsetWhateverTheRepeatFlag) {
  StartHandset();
  const fs::path source = Source(zk::test::PseudoRandomBytes(40, 15));
  flowUi_.endAnswers = {DialogAnswer::Ok};
  StopAnsweringPrlWritesFrom(2);  // the second pass fails
  ASSERT_EQ(Write(source.string(), 0), 405043);
  ASSERT_EQ(g_runState.repeatFlag, 1);

  int cell = 0;
  g_passPara.m_mode = 1;
  g_passPara.m_resultCell = &cell;
  // Should the flow go round again, its second pass fails here, ending the
  // test instead of looping for ever.
  StopAnsweringPrlWritesFrom(2);
  EXPECT_EQ(Write(source.string(), 0), 1);
  EXPECT_EQ(ResetRequests(), 2);
  EXPECT_EQ(flowUi_.endDialogs.size(), 1u);  // only the operator's
}

// The error dialog closes the progress window and the port; a host that
// takes the failure code in its result cell gets no dialog, and must not be
// left with a window still showing the failed step or a port still held.
TEST_F(PrlFlow, FailureIntoTheResultCellReleasesWindowAndPort) {
  StartHandset();
  int cell = 7;
  g_passPara.m_mode = 1;
  g_passPara.m_resultCell = &cell;

  EXPECT_EQ(zk::boundary::ReportingResult(Write((home_.path() / "absent.prl").string(), 0)), 0);
  EXPECT_EQ(cell, 405041);
  EXPECT_TRUE(flowUi_.errorDialogs.empty());
  EXPECT_FALSE(g_commonProcess.IsProgressWindowOpen());
  EXPECT_EQ(flowUi_.windowsClosed, 1);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
}

}  // namespace
