// Diagnostic mode entry, the speed change and Transact's retry rules against
// the simulated handset over a real pty.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/library_objects.h"
#include "diag/diag_link.h"
#include "sim_link_fixture.h"

namespace {

using zk::test::DropAll;
using zk::test::DropCode;
using zk::test::Faults;
using zk::test::ForeignCode;
using zk::test::SimLinkTest;

uint32_t HostRate() { return g_diagLink.m_comm.lineConfig().baudRate; }

class ModeEntry : public SimLinkTest {};

TEST_F(ModeEntry, StandardSwitchFromTheModemPersonality) {
  StartSim(Options());  // the handset starts as a modem
  OpenProgress();
  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);

  EXPECT_EQ(sim_->state().personality, rb310::Personality::kDiag);
  EXPECT_TRUE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(HostRate(), 115200u);
  EXPECT_EQ(g_diagLink.m_dmBaud, 0);
  EXPECT_STREQ(g_diagLink.m_softwareVersion, "R310V105");
  ASSERT_FALSE(ui_.statusTexts.empty());
  EXPECT_EQ(ui_.statusTexts.back(), "Changing to DM mode ...");
  EXPECT_EQ(ui_.detailTexts.back(), " ");
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(InputContaining("AT$QCDMR=115200"), 1);
  EXPECT_EQ(InputContaining("AT$QCDMG"), 1);
  EXPECT_EQ(InputContaining("AT$ZKDMGO"), 0);
}

TEST_F(ModeEntry, HandsetAlreadyInDiagnosticModeAnswersTheFirstEsnRequest) {
  StartDiagHandset(115200);
  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  EXPECT_EQ(Requests(0x01), 1u);  // one ESN request, answered at once
  EXPECT_EQ(Frames(0x01).at(0).answered, true);
  EXPECT_EQ(Requests(0x29), 1u);  // offline on the first attempt
  EXPECT_EQ(Requests(0x0C), 2u);  // the offline check and the entry's own status request
  EXPECT_EQ(Requests(0x00), 1u);  // the closing version request
}

TEST_F(ModeEntry, LegacyHandsetAt38400IsReachedByTheLegacyProbeAndStaysThere) {
  auto options = Options();
  options.personality.startInDm = true;
  options.personality.dmBaud = 38400;
  options.faults.ignoreStandardSwitch = true;
  StartSim(std::move(options));

  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  EXPECT_EQ(g_diagLink.m_dmBaud, 38400);
  EXPECT_EQ(HostRate(), 38400u);
  EXPECT_TRUE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(Requests(0x01), 3u);  // the three legacy ESN requests (the 115200 ones never arrived)
  EXPECT_EQ(InputContaining("AT$ZKDMGO"), 0);
}

TEST_F(ModeEntry, MakersSwitchNeedsASecondEntry) {
  auto options = Options();
  options.faults.ignoreStandardSwitch = true;  // a modem that knows only the maker's switch
  StartSim(std::move(options));

  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeFailed);
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(InputContaining("AT$ZKDMGO"), 2);  // at 19200 and again at 115200
  EXPECT_EQ(sim_->state().personality, rb310::Personality::kDiag);
  EXPECT_TRUE(ui_.messages.empty());  // silent probes show nothing

  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  EXPECT_TRUE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(InputContaining("AT$ZKDMGO"), 2);  // the second entry did not need it
}

TEST_F(ModeEntry, HandsetThatNeverReportsAUsableStateGivesDataToDmError) {
  auto options = Options();
  options.personality.startInDm = true;
  options.faults.neverUsable = true;
  StartSim(std::move(options));

  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeFailed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], "DataToDM Error!");
  // Eleven passes: each probes once, goes offline in twelve attempts (one
  // status request each) and asks for the status once more.
  EXPECT_EQ(Requests(0x01), 11u);
  EXPECT_EQ(Requests(0x29), 11u * 12u);
  EXPECT_EQ(Requests(0x0C), 11u * 13u);
  EXPECT_EQ(Requests(0x00), 0u);  // no version request
}

TEST_F(ModeEntry, MissingPortGivesPortOpenError) {
  // No simulator: COM5 has no port map entry.
  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeFailed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], "Port Open Error!");
}

TEST_F(ModeEntry, SilentHandsetFailsWithoutAMessage) {
  auto options = Options();
  options.personality.startInDm = true;
  options.faults = Faults({DropAll()});
  StartSim(std::move(options));

  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeFailed);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());  // the legacy probe closed it
}

TEST_F(ModeEntry, UnansweredVersionRequestFailsTheEntry) {
  auto options = Options();
  options.personality.startInDm = true;
  options.faults = Faults({DropCode(0x00)});
  StartSim(std::move(options));
  EXPECT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeFailed);
  EXPECT_EQ(Requests(0x00), 2u);  // both tries
  EXPECT_TRUE(ui_.messages.empty());
}

class SpeedChange : public SimLinkTest {};

TEST_F(SpeedChange, HandsetThatIgnoresTheBaudChangeKeepsTheOldRate) {
  auto options = Options();
  options.personality.startInDm = true;
  options.personality.dmBaud = 38400;
  options.faults.ignoreBaudChange = true;
  StartSim(std::move(options));
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  ASSERT_EQ(HostRate(), 38400u);

  const uint64_t esnBefore = Requests(0x01);
  EXPECT_TRUE(g_diagLink.SpeedUp());
  EXPECT_EQ(HostRate(), 38400u);
  EXPECT_EQ(sim_->state().diagBaud, 38400u);
  EXPECT_EQ(Requests(0x01) - esnBefore, 2u);  // both checks answered at the old rate
  EXPECT_EQ(Requests(0x5C), 2u);  // the error answer counted as none: asked twice
}

TEST_F(SpeedChange, HandsetThatChangesItsRateIsFollowedTo115200) {
  StartDiagHandset(38400);
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  ASSERT_EQ(HostRate(), 38400u);

  EXPECT_TRUE(g_diagLink.SpeedUp());
  EXPECT_EQ(sim_->state().diagBaud, 115200u);
  EXPECT_EQ(HostRate(), 115200u);
  const auto esn = Frames(0x01);
  ASSERT_FALSE(esn.empty());
  EXPECT_TRUE(esn.back().answered);
}

TEST_F(SpeedChange, LostHandsetClosesThePort) {
  StartDiagHandset(38400);
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  sim_->SetFaults(Faults({DropAll()}));

  EXPECT_FALSE(g_diagLink.SpeedUp());
  EXPECT_FALSE(g_diagLink.m_comm.IsOpen());
  EXPECT_EQ(g_diagLink.m_comm.settings().baudRate, 38400u);  // the next open starts at 38400
}

class TransactAgainstSim : public SimLinkTest {
 protected:
  int AskVersion() {
    std::memset(&g_diagRequest, 0, sizeof(g_diagRequest));
    g_diagRequest.req.bytes[0] = 0x00;
    return g_diagLink.Transact(&g_diagRequest, &g_diagResponse, 1, 2000);
  }
};

TEST_F(TransactAgainstSim, ForeignCodeIsRetriedOnceThenNoAnswer) {
  for (const uint32_t foreign : {0x13u, 0x42u}) {
    SCOPED_TRACE(foreign);
    StartDiagHandset();
    ASSERT_TRUE(g_diagLink.OpenPort(kPortIndex));
    g_diagLink.m_comm.SetComBaudRate(115200);
    sim_->SetFaults(Faults({ForeignCode(0x00, static_cast<uint8_t>(foreign))}));

    EXPECT_EQ(AskVersion(), kNoAnswer);
    EXPECT_EQ(g_diagLink.m_lastOk, 0);
    EXPECT_EQ(g_diagResponse.rsp.bytes[0], foreign);
    const auto frames = Frames(0x00);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(frames[0].answered);
    EXPECT_TRUE(frames[1].answered);

    g_diagLink.ClosePort();
    sim_->Stop();
    sim_.reset();
  }
}

TEST_F(TransactAgainstSim, OneForeignAnswerThenTheRealOne) {
  StartDiagHandset();
  ASSERT_TRUE(g_diagLink.OpenPort(kPortIndex));
  g_diagLink.m_comm.SetComBaudRate(115200);
  sim_->SetFaults(Faults({ForeignCode(0x00, 0x13, 1)}));
  EXPECT_EQ(AskVersion(), kTransactAccepted);
  EXPECT_EQ(g_diagLink.m_lastOk, 1);
  EXPECT_EQ(Requests(0x00), 2u);
}

}  // namespace
