// The wire trace's lines: what each frame is called, resends and notes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "diag/frame_codec.h"
#include "diag/wire_trace.h"
#include "support/temp_home.h"

namespace {

using zk::diag::WireDirection;
using zk::diag::WireKind;
using zk::diag::WireTrace;

std::vector<uint8_t> Framed(std::vector<uint8_t> packet, std::size_t leadIn = 0) {
  std::vector<uint8_t> frame(leadIn + zk::diag::MaxEncodedSize(packet.size()), zk::diag::kFlag);
  const std::size_t length =
      zk::diag::EncodeFrame(packet.data(), packet.size(), frame.data() + leadIn, frame.size() - leadIn);
  frame.resize(leadIn + length);
  return frame;
}

TEST(WireTrace, FramesAreNamedWithTheirLengthAndCheck) {
  auto broken = Framed({0x49, 0x00, 0x01});
  broken[1] ^= 0xFF;
  const std::string at = "AT$QCDMG\r";
  struct Case {
    WireKind kind;
    std::vector<uint8_t> bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {WireKind::Diagnostic, Framed({0x0C}), "status (0x0C), 1 byte, check good"},
      {WireKind::Diagnostic, broken, "PRL read (0x49), 3 bytes, check BAD"},
      {WireKind::Diagnostic, Framed({0x13, 0x48}), "refused: bad command (0x13), 2 bytes, check good"},
      {WireKind::Download, Framed({0x01, 0, 0, 0, 0}, 3), "write block (0x01), 5 bytes, check good"},
      {WireKind::Download, Framed({0x02}), "acknowledge (0x02), 1 byte, check good"},
      {WireKind::Diagnostic, {0x7E, 0x7E}, "flags only"},
      {WireKind::Diagnostic, {0x0C, 0x7E}, "too short for a packet"},
      {WireKind::AtLine, std::vector<uint8_t>(at.begin(), at.end()), "AT line \"AT$QCDMG\\r\""},
  };
  for (const auto& c : cases) EXPECT_EQ(WireTrace::DescribeFrame(c.kind, c.bytes), c.text);
}

TEST(WireTrace, HeaderThenLinesWithResendsAndNotes) {
  zk::test::TempDir dir;
  const auto file = dir.path() / "trace.txt";
  {
    WireTrace trace;
    ASSERT_TRUE(trace.Configure(file.string()));
    const auto request = Framed({0x0C});
    trace.Record(WireDirection::Sent, WireKind::Diagnostic, request.data(), request.size());
    trace.Note("no answer within 1500 ms");
    trace.Record(WireDirection::Sent, WireKind::Diagnostic, request.data(), request.size());
    EXPECT_FALSE(trace.Configure((dir.path() / "missing" / "trace.txt").string()));
  }
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("# zkdownload wire trace, ", 0), 0u);
  EXPECT_NE(lines[1].find(" TX 4: 0C "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[1].find("resend"), std::string::npos);
  EXPECT_NE(lines[2].find(" NOTE no answer within 1500 ms"), std::string::npos);
  EXPECT_NE(lines[3].find("check good (resend)"), std::string::npos) << lines[3];
}

}  // namespace
