// The handset's receive framing and the AT command lines.
#include <gtest/gtest.h>

#include "support/diag_frames.h"
#include "wire/at_personality.h"
#include "wire/frame_link.h"

namespace rb310 {
namespace {

using Bytes = std::vector<uint8_t>;

std::vector<ReceivedFrame> PushAll(FrameReceiver& receiver, const Bytes& bytes) {
  std::vector<ReceivedFrame> frames;
  for (const uint8_t byte : bytes) {
    if (auto frame = receiver.Push(byte)) frames.push_back(std::move(*frame));
  }
  return frames;
}

TEST(SimFrameLink, EscapedBytesRoundTripAndLoneFlagsEndNothing) {
  FrameReceiver receiver;
  EXPECT_TRUE(PushAll(receiver, {0x7E, 0x7E, 0x7E}).empty());
  const Bytes packet{0x00, 0x7E, 0x7D, 0x26};
  const auto frames = PushAll(receiver, FrameAnswer(packet));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, ReceivedFrame::Kind::kGood);
  EXPECT_EQ(frames[0].bytes, packet);
  EXPECT_EQ(FrameAnswer(packet), zk::test::Frame(packet));
}

TEST(SimFrameLink, DanglingEscapeCorruptCheckAndOverlongAreBad) {
  FrameReceiver receiver;
  auto frames = PushAll(receiver, {0x01, 0x7D, 0x7E});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, ReceivedFrame::Kind::kBad);

  frames = PushAll(receiver, FrameAnswer(Bytes{0x01, 0x7E}, true));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, ReceivedFrame::Kind::kBad);

  Bytes longBody(FrameReceiver::kMaxBody + 10, 0x55);
  longBody.push_back(0x7E);
  frames = PushAll(receiver, longBody);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, ReceivedFrame::Kind::kOverlong);
  EXPECT_TRUE(receiver.Idle());
}

TEST(SimFrameLink, AtLineIsTakenOutButCarriageReturnInsideAFrameIsData) {
  FrameReceiver receiver;
  const Bytes text{'A', 'T', '$', 'Q', 'C', 'D', 'M', 'G', '\r'};
  auto frames = PushAll(receiver, text);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, ReceivedFrame::Kind::kStrayText);

  const Bytes packet{0x27, 0x0D, 0x00, 'A', 'T', 0x0D};
  frames = PushAll(receiver, FrameAnswer(packet));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, packet);
}

TEST(SimAt, AnswersLikeAModemAndChoosesTheDiagnosticRate) {
  AtPersonality at({115200, false});
  auto run = [&at](const std::string& line) {
    std::optional<AtResult> result;
    for (const char c : line) result = at.Push(static_cast<uint8_t>(c));
    return result;
  };
  EXPECT_EQ(run("AT\r")->answer, "\r\nOK\r\n");
  EXPECT_EQ(run("at+fancy\r")->answer, "\r\nERROR\r\n");
  EXPECT_EQ(run("hello\r")->answer, "");  // not a command
  EXPECT_EQ(run("AT$QCDMR=12345\r")->answer, "\r\nERROR\r\n");
  EXPECT_FALSE(run("AT$QCDMG")) << "no CR yet";
  EXPECT_EQ(run("\r")->enterDiagAt, 115200u);

  EXPECT_EQ(run("AT$QCDMR=38400\r")->answer, "\r\nOK\r\n");
  EXPECT_EQ(run("\x01\x02" "AT$QCDMG\r")->enterDiagAt, 38400u);  // junk before AT is skipped
  at.Reset();
  EXPECT_EQ(run("AT$ZKDMGO\r")->enterDiagAt, 115200u);
  EXPECT_EQ(run(std::string(600, 'A') + "\r")->answer, "\r\nERROR\r\n");  // overlong line
}

}  // namespace
}  // namespace rb310
