// The handset model: framing, identity, states, line rates, restart, faults.
#include <gtest/gtest.h>

#include "services/diag_codes.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SimHandset, AnswersEsnAndVersionAtTheirOffsets) {
  SimOptions options = DmOptions();
  options.identity.esn = 0x80A1B2C3;
  options.identity.softwareVersion = "ABCD1234";
  HandsetRig rig(options);

  const auto esn = rig.Ask({0x01});
  ASSERT_TRUE(esn);
  EXPECT_EQ(*esn, (Bytes{0x01, 0xC3, 0xB2, 0xA1, 0x80}));

  const auto version = rig.Ask({0x00});
  ASSERT_TRUE(version);
  ASSERT_EQ(version->size(), diag::kVersionResponseSize);
  EXPECT_EQ(std::string(version->begin() + 39, version->begin() + 47), "ABCD1234");
}

TEST(SimHandset, StatusShowsAUsableStateOnlineAndAfterGoingOffline) {
  HandsetRig rig;
  auto status = rig.Ask({0x0C});
  ASSERT_TRUE(status);
  EXPECT_EQ(Le16(*status, 8), 0);
  EXPECT_EQ(Le16(*status, 32), 6);

  EXPECT_EQ(rig.Ask({0x29, 0x01, 0x00}), (Bytes{0x29, 0x01, 0x00}));
  status = rig.Ask({0x0C});
  ASSERT_TRUE(status);
  EXPECT_NE(Le16(*status, 8), 0);
  EXPECT_EQ(Le16(*status, 32), 2);
}

TEST(SimHandset, NeverUsableShowsModeWordZeroWithStateTwoWhateverHappens) {
  SimOptions options = DmOptions();
  options.faults.neverUsable = true;
  HandsetRig rig(options);
  for (int pass = 0; pass < 2; ++pass) {
    const auto status = rig.Ask({0x0C});
    ASSERT_TRUE(status);
    EXPECT_EQ(Le16(*status, 8), 0);
    EXPECT_EQ(Le16(*status, 32), 2);
    rig.Ask({0x29, 0x01, 0x00});
  }
}

TEST(SimHandset, FramesWithLeadingFlagsAndSplitFramesAreDecoded) {
  HandsetRig rig;
  Bytes bytes = zk::test::Frame({0x01}, 3);
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(bytes)), rig.Ask({0x01}));

  // Two frames in one write get two answers; a frame split over two writes
  // gets one when its end arrives.
  bytes = zk::test::Frame({0x01});
  const Bytes second = zk::test::Frame({0x0C}, 1);
  bytes.insert(bytes.end(), second.begin(), second.end());
  const Bytes out = rig.Feed(bytes);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0x7E), 2);

  const Bytes frame = zk::test::Frame({0x00});
  EXPECT_TRUE(rig.Feed(Bytes(frame.begin(), frame.begin() + 2)).empty());
  EXPECT_TRUE(zk::test::FirstPacket(rig.Feed(Bytes(frame.begin() + 2, frame.end()))));
}

TEST(SimHandset, FrameFailingItsCheckIsIgnoredAndTheNextOneAnswered) {
  HandsetRig rig;
  Bytes bad = zk::test::Frame({0x01});
  bad[1] ^= 0x01;  // a check byte
  EXPECT_TRUE(rig.Feed(bad).empty());
  EXPECT_EQ(rig.handset().counters().badFrames, 1u);
  EXPECT_EQ(rig.handset().transcript().Entries().back().kind, "bad-frame");

  // Noise ending in a flag is one more bad frame; noise without a flag
  // spoils the frame it runs into.
  EXPECT_TRUE(rig.Feed({0x11, 0x22, 0x7E}).empty());
  EXPECT_TRUE(rig.Feed({0x33}).empty());
  EXPECT_TRUE(rig.Feed(zk::test::Frame({0x01})).empty());
  EXPECT_EQ(rig.handset().counters().badFrames, 3u);
  EXPECT_TRUE(rig.Ask({0x01}));
}

TEST(SimHandset, RefusesUnknownCodesAndShortRequestsLikeTheRealHandset) {
  HandsetRig rig;
  EXPECT_EQ(rig.Ask({0x77, 0x01, 0x02}), (Bytes{0x13, 0x77, 0x01, 0x02}));
  EXPECT_EQ(rig.Ask({0x26, 0x05, 0x00}), (Bytes{0x15, 0x26, 0x05, 0x00}));
  EXPECT_EQ(rig.Ask({0x29, 0x07, 0x00}), (Bytes{0x14, 0x29, 0x07, 0x00}));
}

TEST(SimHandset, StandardAtSwitchEntersDiagnosticModeAt115200) {
  SimOptions options;
  options.line.usbModem = false;
  HandsetRig rig(options);
  EXPECT_TRUE(rig.Ask({0x01}, 115200) == std::nullopt);  // a modem has no use for frames

  EXPECT_EQ(rig.FeedText("AT$QCDMR=115200\r", 19200), Bytes(std::begin("\r\nOK\r\n"), std::end("\r\nOK\r\n") - 1));
  EXPECT_EQ(rig.handset().state().personality, Personality::kAt);
  EXPECT_FALSE(rig.FeedText("AT$QCDMG\r", 115200).empty());
  EXPECT_EQ(rig.handset().state().personality, Personality::kDiag);
  EXPECT_TRUE(rig.Ask({0x01}, 115200));
  EXPECT_FALSE(rig.Ask({0x01}, 19200));
}

TEST(SimHandset, IgnoringTheStandardSwitchLeavesOnlyTheMakersSwitch) {
  SimOptions options;
  options.line.usbModem = false;
  options.personality.dmBaud = 38400;
  options.faults.ignoreStandardSwitch = true;
  HandsetRig rig(options);
  const std::string error = "\r\nERROR\r\n";
  EXPECT_EQ(rig.FeedText("AT$QCDMR=115200\r", 19200), Bytes(error.begin(), error.end()));
  EXPECT_EQ(rig.FeedText("AT$QCDMG\r", 115200), Bytes(error.begin(), error.end()));
  EXPECT_EQ(rig.handset().state().personality, Personality::kAt);

  // A frame sent to the modem leaves junk on its line; the maker's command
  // still gets through behind it.
  rig.Feed(zk::test::Frame({0x01}), 38400);
  EXPECT_FALSE(rig.FeedText("AT$ZKDMGO\r", 19200).empty());
  EXPECT_EQ(rig.handset().state().personality, Personality::kDiag);
  EXPECT_EQ(rig.handset().state().diagBaud, 38400u);
  EXPECT_TRUE(rig.Ask({0x01}, 38400));
}

TEST(SimHandset, AtLinesReachingDiagnosticModeDoNotSpoilTheNextFrame) {
  HandsetRig rig;
  Bytes bytes{'A', 'T', '$', 'Q', 'C', 'D', 'M', 'G', '\r'};
  const Bytes frame = zk::test::Frame({0x01});
  bytes.insert(bytes.end(), frame.begin(), frame.end());
  EXPECT_TRUE(zk::test::FirstPacket(rig.Feed(bytes)));
  EXPECT_EQ(rig.handset().counters().strayLines, 1u);
}

TEST(SimHandset, PhysicalLineNeedsMatchingRatesTheUsbPortDoesNot) {
  HandsetRig line(DmOptions(38400));
  EXPECT_FALSE(line.Ask({0x01}, 115200));
  EXPECT_EQ(line.handset().transcript().Entries().back().kind, "garbled");
  EXPECT_TRUE(line.Ask({0x01}, 38400));

  SimOptions usb = DmOptions(38400);
  usb.line.friendly = "RB310 CDMA USB Modem (COM5)";
  usb.line.usbModem.reset();
  HandsetRig port(usb);
  EXPECT_TRUE(port.Ask({0x01}, 115200));
  EXPECT_TRUE(port.Ask({0x01}, 9600));
}

TEST(SimHandset, BaudChangeTakesEffectAfterItsAnswer) {
  HandsetRig rig(DmOptions(38400));
  const Bytes change{0x5C, 0x01, 0x00, 0xC2, 0x01, 0x00};  // 115200
  EXPECT_EQ(rig.Ask(change, 38400), change);
  EXPECT_FALSE(rig.Ask({0x01}, 38400));
  EXPECT_TRUE(rig.Ask({0x01}, 115200));

  SimOptions options = DmOptions(38400);
  options.faults.ignoreBaudChange = true;
  HandsetRig old(options);
  const auto answer = old.Ask(change, 38400);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->at(0), 0x13);
  EXPECT_TRUE(old.Ask({0x01}, 38400));
}

TEST(SimHandset, ResetFromOfflineAnswersFallsSilentAndComesBack) {
  SimOptions options;  // starts in its AT personality and comes back in it
  options.personality.restartDelayMs = 4000;
  options.line.usbModem = false;
  HandsetRig rig(options);
  rig.FeedText("AT$QCDMR=115200\r", 19200);
  rig.FeedText("AT$QCDMG\r", 115200);

  EXPECT_EQ(rig.Ask({0x29, 0x02, 0x00})->at(0), 0x14);  // not offline yet
  rig.Ask({0x29, 0x01, 0x00});
  EXPECT_EQ(rig.Ask({0x29, 0x02, 0x00}), (Bytes{0x29, 0x02, 0x00}));
  EXPECT_EQ(rig.handset().state().personality, Personality::kRestarting);
  EXPECT_FALSE(rig.Ask({0x01}));
  EXPECT_TRUE(rig.FeedText("AT\r").empty());
  EXPECT_EQ(rig.handset().transcript().Entries().back().kind, "restarting");

  rig.Wait(4000);
  EXPECT_EQ(rig.handset().state().personality, Personality::kAt);
  EXPECT_FALSE(rig.handset().state().offline);
  EXPECT_EQ(rig.handset().counters().restarts, 1u);
  EXPECT_FALSE(rig.FeedText("AT\r").empty());

  options.personality.startInDm = true;
  options.personality.dmBaud = 38400;
  HandsetRig dm(options);
  dm.Ask({0x5C, 0x01, 0x00, 0xC2, 0x01, 0x00}, 38400);
  dm.Ask({0x29, 0x01, 0x00}, 115200);
  dm.Ask({0x29, 0x02, 0x00}, 115200);
  dm.Wait(4000);
  EXPECT_EQ(dm.handset().state().personality, Personality::kDiag);
  EXPECT_TRUE(dm.Ask({0x01}, 38400));  // back at its configured rate
}

TEST(SimHandset, SwitchToDownloaderHandsFramesToTheDownloaderTable) {
  HandsetRig rig;
  EXPECT_EQ(rig.Ask({0x3A}), (Bytes{0x3A}));
  EXPECT_EQ(rig.handset().state().personality, Personality::kDownloader);
  EXPECT_EQ(rig.Ask({0x01}), (Bytes{0x03}));  // the diagnostic set is gone: the downloader refuses it
  EXPECT_EQ(rig.handset().transcript().Entries().back().kind, "download");

  rig.handset().downloaderCommands().Add(0x21, {"init", 1, false, [](HandsetContext&, std::span<const uint8_t>) {
                                                   return Answer{{0x02}, {}};
                                                 }});
  EXPECT_EQ(zk::test::FirstPacket(rig.Feed(zk::test::Frame({0x21}, 3))), (Bytes{0x02}));
}

TEST(SimHandset, SpcAndRemoteKeys) {
  HandsetRig rig;
  EXPECT_EQ(rig.Ask({0x41, '1', '2', '3', '4', '5', '6'}), (Bytes{0x41, 0x00}));
  EXPECT_EQ(rig.Ask({0x41, '2', '7', '1', '8', '2', '8'}), (Bytes{0x41, 0x01}));
  EXPECT_TRUE(rig.handset().state().spcUnlocked);

  rig.Ask({0x20, 0x00, '5'});  // keypad still locked: not typed
  EXPECT_EQ(rig.Ask({0x21, 0x00, 0x00}), (Bytes{0x21, 0x00, 0x00}));
  EXPECT_EQ(rig.Ask({0x20, 0x00, 0x06}), (Bytes{0x20, 0x00, 0x06}));
  rig.Ask({0x20, 0x00, 81});
  EXPECT_EQ(rig.handset().state().keysPressed, (Bytes{0x06, 81}));
}

TEST(SimHandset, GuardedWritesWaitForTheSpcWhenTheHandsetInsists) {
  SimOptions options = DmOptions();
  options.security.requireSpcForWrites = true;
  HandsetRig rig(options);
  const Bytes write = NvRequest(0x27, 82, {'1', '2', '3', '4'});
  EXPECT_EQ(rig.Ask(write)->at(0), 0x42);
  EXPECT_FALSE(rig.handset().nv().store().Read(82, -1));
  rig.Ask({0x41, '2', '7', '1', '8', '2', '8'});
  EXPECT_EQ(rig.Ask(write)->at(0), 0x27);
}

TEST(SimHandset, VendorQueriesAnswerAtOffsetFour) {
  SimOptions options = DmOptions();
  options.identity.vendorByte = 123;
  options.identity.vendorText = "TEXT-OF-15-CHAR";
  options.identity.vendorValue20 = 0x11223344;
  options.identity.vendorValue21 = 21;
  HandsetRig rig(options);
  EXPECT_EQ(rig.Ask({0xFA, 0, 0, 0, 0}), (Bytes{0xFA, 0, 0, 0, 123}));
  const auto text = rig.Ask({0xFA, 0, 0, 6, 0});
  ASSERT_TRUE(text);
  EXPECT_EQ(std::string(text->begin() + 4, text->begin() + 19), "TEXT-OF-15-CHAR");
  EXPECT_EQ(Le32(*rig.Ask({0xFA, 20, 0, 6, 0}), 4), 0x11223344u);
  EXPECT_EQ(Le32(*rig.Ask({0xFA, 21, 0, 6, 0}), 4), 21u);
  EXPECT_EQ(rig.Ask({0xFA, 22, 0, 0, 0})->at(0), 0x14);
}

}  // namespace
}  // namespace rb310::test
