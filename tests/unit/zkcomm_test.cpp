// CZKComm exchanges over a real pty, with the handset played by a scripted
// peer on the master end. Time-outs run at a small time scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "support/library_objects.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "serial/tty_device.h"
#include "support/pty_peer.h"
#include "support/temp_home.h"
#include "zkdownload/zkcomm.h"

namespace {

using namespace std::chrono_literals;
using zk::test::Bytes;
using zk::test::EncodeForWire;
using zk::test::PeerStep;
using zk::test::RawPty;
using Ms = std::chrono::milliseconds;

void Link(int number, const std::string& device) {
  std::error_code error;
  ASSERT_TRUE(zk::platform::LinkPort(number, device, std::nullopt, error)) << error.message();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A packet of `code` followed by filler bytes that never need escaping,
// adjusted so that its wire form is exactly `wireLength` bytes long.
Bytes PacketWithWireLength(uint8_t code, std::size_t wireLength) {
  Bytes packet(wireLength - 3, 0x41);
  packet[0] = code;
  for (uint8_t last = 0; last < 0x7D; ++last) {
    packet.back() = last;
    if (EncodeForWire(packet).size() == wireLength) return packet;
  }
  ADD_FAILURE() << "no packet with a wire length of " << wireLength;
  return packet;
}

// The receive trace of a frame: "RX : ", then " XX" per byte, with a line
// break after the 11th byte and after every 15 more.
std::string TraceText(const Bytes& raw) {
  std::string text = "RX : ";
  for (std::size_t k = 0; k < raw.size(); ++k) {
    char hex[4];
    std::snprintf(hex, sizeof(hex), " %02X", raw[k]);
    text += hex;
    if ((k + 5) % 15 == 0) text += "\r\n";
  }
  return text;
}

class ZkCommExchange : public ::testing::Test {
 protected:
  static constexpr double kScale = 0.02;
  static constexpr int kAnswerTimeoutMs = 250000;  // 5 s at the test scale: answers always come first
  static constexpr int kSilentTimeoutMs = 2500;    // 50 ms at the test scale
  static constexpr Ms kPromptly = 2500ms;          // half the answer time-out

  void SetUp() override {
    savedScale_ = zk::platform::TimeScale();
    zk::platform::SetTimeScale(kScale);
    Link(1, pty_.slavePath());
    ASSERT_EQ(comm_->CommOpen(COM1, 38400), 1);
  }
  void TearDown() override {
    comm_->CommClose();
    zk::platform::SetTimeScale(savedScale_);
  }

  struct Outcome {
    int result = 0;
    Bytes response;  // the decoded response as stored, check bytes included
    Ms elapsed{};
    std::vector<Bytes> requests;  // as the peer read them off the wire
  };

  int GetPacket(const Bytes& request, int timeoutMs, int mode) {
    std::memset(request_.get(), 0, sizeof(diag_req_pkt_type));
    std::memcpy(request_->req.bytes, request.data(), request.size());
    std::memset(response_.get(), 0xCC, sizeof(diag_rsp_pkt_type));
    return comm_->GetPacket(request_.get(), response_.get(), static_cast<int>(request.size()), timeoutMs, mode);
  }

  Outcome Exchange(const Bytes& request, std::vector<PeerStep> steps, int timeoutMs, int mode) {
    zk::test::PtyPeer peer(pty_, std::move(steps));
    Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    outcome.result = GetPacket(request, timeoutMs, mode);
    outcome.elapsed = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start);
    outcome.requests = peer.Finish();
    const auto stored = std::min<std::size_t>(static_cast<std::size_t>(comm_->lastReceiveLength()),
                                              sizeof(diag_rsp_pkt_type));
    outcome.response.assign(response_->rsp.bytes, response_->rsp.bytes + stored);
    return outcome;
  }
  Outcome Answer(const Bytes& request, const Bytes& reply, int mode = kDiagnosticMode) {
    return Exchange(request, {PeerStep{reply}}, kAnswerTimeoutMs, mode);
  }

  double savedScale_ = 1.0;
  zk::test::TempHome home_;
  RawPty pty_;
  std::unique_ptr<CZKComm> comm_ = std::make_unique<CZKComm>();
  // Heap blocks of exactly the buffer sizes, so a write past them is caught
  // by the address sanitizer.
  std::unique_ptr<diag_req_pkt_type> request_ = std::make_unique<diag_req_pkt_type>();
  std::unique_ptr<diag_rsp_pkt_type> response_ = std::make_unique<diag_rsp_pkt_type>();
};

const Bytes kRequest = {0x26, 0x00, 0x7E, 0x7D};
const Bytes kAnswer = {0x26, 0x00, 0x7E, 0x7D, 0x05};

TEST_F(ZkCommExchange, AnswerToTheRequestGivesOne) {
  const auto outcome = Answer(kRequest, EncodeForWire(kAnswer));
  EXPECT_EQ(outcome.result, kExchangeAnswered);
  EXPECT_EQ(outcome.requests.at(0), EncodeForWire(kRequest));  // no lead-in in diagnostic mode
  ASSERT_EQ(outcome.response.size(), kAnswer.size() + 2);
  EXPECT_EQ(Bytes(outcome.response.begin(), outcome.response.end() - 2), kAnswer);
}

TEST_F(ZkCommExchange, LeadingFlagsBeforeTheAnswerAreSkipped) {
  const auto plain = Answer(kRequest, EncodeForWire(kAnswer));
  const auto oneFlag = Answer(kRequest, Concat({{0x7E}, EncodeForWire(kAnswer)}));
  const auto threeFlags = Answer(kRequest, Concat({{0x7E, 0x7E, 0x7E}, EncodeForWire(kAnswer)}));
  EXPECT_EQ(oneFlag.result, kExchangeAnswered);
  EXPECT_EQ(threeFlags.result, kExchangeAnswered);
  EXPECT_EQ(oneFlag.response, plain.response);
  EXPECT_EQ(threeFlags.response, plain.response);
}

TEST_F(ZkCommExchange, AnswerWithAnotherCodeGivesTwo) {
  EXPECT_EQ(Answer(kRequest, EncodeForWire({0x13, 0x26})).result, kExchangeOtherCode);
  // The download acknowledgement means nothing in diagnostic mode.
  EXPECT_EQ(Answer(kRequest, EncodeForWire({0x02})).result, kExchangeOtherCode);
}

TEST_F(ZkCommExchange, BadCheckGivesThreeWithoutWaitingForTheTimeOut) {
  Bytes corrupted = EncodeForWire(kAnswer);
  corrupted[1] ^= 0x01;
  const auto outcome = Answer(kRequest, corrupted);
  EXPECT_EQ(outcome.result, kExchangeBadFrame);
  EXPECT_LT(outcome.elapsed, kPromptly);
}

TEST_F(ZkCommExchange, GarbageBeforeTheAnswerSpoilsTheFirstFrame) {
  // Line noise runs into the frame: the first frame fails its check.
  const Bytes noisy = Concat({{0x11, 0x22, 0x33}, EncodeForWire(kAnswer)});
  const auto diagnostic = Answer(kRequest, noisy);
  EXPECT_EQ(diagnostic.result, kExchangeBadFrame);
  EXPECT_LT(diagnostic.elapsed, kPromptly);
  // In download mode a bad frame ends the exchange with "no frame" at once.
  const auto download = Answer({0x05}, noisy, kDownloadMode);
  EXPECT_EQ(download.result, kExchangeNoFrame);
  EXPECT_LT(download.elapsed, kPromptly);
}

TEST_F(ZkCommExchange, StaleInputIsThrownAwayBeforeTheRequest) {
  const Bytes stale = Concat({{0x55, 0x66}, EncodeForWire({0x13}), {0x77}});
  ASSERT_TRUE(pty_.Write(stale));
  ASSERT_TRUE(zk::test::WaitForInput(pty_.slave(), static_cast<int>(stale.size())));
  const auto outcome = Answer(kRequest, EncodeForWire(kAnswer));
  EXPECT_EQ(outcome.result, kExchangeAnswered);
  EXPECT_EQ(outcome.response.at(4), 0x05);
}

TEST_F(ZkCommExchange, DownloadModeSendsTheLeadInAndAcceptsTheAcknowledgement) {
  const Bytes request = {0x05, 0x00, 0x01};
  const auto ack = Answer(request, EncodeForWire({0x02}), kDownloadMode);
  EXPECT_EQ(ack.result, kExchangeAnswered);
  EXPECT_EQ(ack.requests.at(0), Concat({{0x7E, 0x7E, 0x7E}, EncodeForWire(request)}));
  EXPECT_EQ(Answer(request, EncodeForWire({0x05, 0x01}), kDownloadMode).result, kExchangeAnswered);
  EXPECT_EQ(Answer(request, EncodeForWire({0x03, 0x01}), kDownloadMode).result, kExchangeOtherCode);
}

TEST_F(ZkCommExchange, BadFrameInDownloadModeGivesFive) {
  Bytes corrupted = EncodeForWire({0x02});
  corrupted[0] ^= 0x10;
  const auto outcome = Answer({0x05}, corrupted, kDownloadMode);
  EXPECT_EQ(outcome.result, kExchangeNoFrame);
  EXPECT_LT(outcome.elapsed, kPromptly);
}

TEST_F(ZkCommExchange, OtherModesSendTheLeadInButAcceptNothing) {
  const auto outcome = Answer({0x05}, EncodeForWire({0x05}), 2);
  EXPECT_EQ(outcome.result, kExchangeNoFrame);
  EXPECT_EQ(outcome.requests.at(0), Concat({{0x7E, 0x7E, 0x7E}, EncodeForWire({0x05})}));
}

TEST_F(ZkCommExchange, NoReplyGivesFiveAfterTheTimeOut) {
  const auto outcome = Exchange(kRequest, {PeerStep{}}, kSilentTimeoutMs, kDiagnosticMode);
  EXPECT_EQ(outcome.result, kExchangeNoFrame);
  EXPECT_GE(outcome.elapsed, zk::platform::Scaled(kSilentTimeoutMs));
  EXPECT_LT(outcome.elapsed, kPromptly);
  EXPECT_EQ(outcome.requests.at(0), EncodeForWire(kRequest));
}

TEST_F(ZkCommExchange, LoneFlagsAloneEndNoFrame) {
  const auto outcome = Exchange(kRequest, {PeerStep{{0x7E, 0x7E}}}, kSilentTimeoutMs, kDiagnosticMode);
  EXPECT_EQ(outcome.result, kExchangeNoFrame);
  EXPECT_TRUE(comm_->packetQueue().empty());
}

TEST_F(ZkCommExchange, PortNotOpenGivesMinusOne) {
  CZKComm closed;
  auto request = std::make_unique<diag_req_pkt_type>();
  auto response = std::make_unique<diag_rsp_pkt_type>();
  EXPECT_EQ(closed.GetPacket(request.get(), response.get(), 1, kSilentTimeoutMs, kDiagnosticMode),
            kExchangePortClosed);
  comm_->CommClose();
  EXPECT_EQ(GetPacket(kRequest, kSilentTimeoutMs, kDiagnosticMode), kExchangePortClosed);
}

TEST_F(ZkCommExchange, StreamLongerThanTheAssemblyBufferIsDropped) {
  const Bytes flood(CAsync::kBufferSize + 100, 0x41);
  const auto diagnostic = Answer(kRequest, flood);
  EXPECT_EQ(diagnostic.result, kExchangeBadFrame);
  EXPECT_TRUE(comm_->packetQueue().empty());  // no frame ended
  // Download mode drops it too and goes on waiting for a frame.
  const auto download = Exchange({0x05}, {PeerStep{flood}}, 50000, kDownloadMode);
  EXPECT_EQ(download.result, kExchangeNoFrame);
}

TEST_F(ZkCommExchange, FramesOf4096BytesOrMoreAreBad) {
  // 4095 bytes with the final flag is the longest frame decoded.
  const Bytes longest = PacketWithWireLength(0x26, 4095);
  const auto decoded = Answer(kRequest, EncodeForWire(longest));
  EXPECT_EQ(decoded.result, kExchangeAnswered);
  EXPECT_EQ(comm_->lastReceiveLength(), 4094);
  // Only what fits the response buffer is stored.
  EXPECT_EQ(decoded.response, Bytes(longest.begin(), longest.begin() + sizeof(diag_rsp_pkt_type)));

  for (const std::size_t length : {std::size_t{4096}, std::size_t{20000}, std::size_t{32767}}) {
    const auto outcome = Answer(kRequest, EncodeForWire(PacketWithWireLength(0x26, length)));
    EXPECT_EQ(outcome.result, kExchangeBadFrame) << length;
    EXPECT_LT(outcome.elapsed, kPromptly) << length;
  }
  // The trace record keeps the first 4091 bytes of an overlong frame.
  const std::string trace = comm_->packetQueue().back();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), ' ') - 2, 4091);  // "RX : " holds two blanks
}

TEST_F(ZkCommExchange, HangUpMidExchangeGivesFiveQuickly) {
  const auto outcome = Exchange(kRequest, {PeerStep{{}, true}}, kAnswerTimeoutMs, kDiagnosticMode);
  EXPECT_EQ(outcome.result, kExchangeNoFrame);
  EXPECT_LT(outcome.elapsed, kPromptly);
  EXPECT_EQ(GetPacket(kRequest, kAnswerTimeoutMs, kDiagnosticMode), kExchangeNoFrame);
}

TEST_F(ZkCommExchange, AnswerLengthHintNeitherDelaysNorCutsAShorterAnswer) {
  // The answer arrives at once and is far shorter than announced: a port
  // that is faster than its line rate is not paced.
  comm_->ExpectAnswerBytes(3000);
  const auto outcome = Answer(kRequest, EncodeForWire(kAnswer));
  comm_->ExpectAnswerBytes(0);
  EXPECT_EQ(outcome.result, kExchangeAnswered);
  EXPECT_LT(outcome.elapsed, kPromptly);
  EXPECT_EQ(Bytes(outcome.response.begin(), outcome.response.end() - 2), kAnswer);
}

// A handset on a real 38400 bit/s line: its answers trickle in a few bytes
// at a time. Once the link has seen that, it sleeps through the request's
// and the answer's line time; every answer must still arrive whole, also
// one far shorter than announced.
TEST_F(ZkCommExchange, AnswersTricklingAtLineRateArriveWholeOnceTheLinkKnowsThePace) {
  Bytes longAnswer = {0x26};
  for (int i = 1; i < 120; ++i) longAnswer.push_back(static_cast<uint8_t>(i * 3));
  const std::vector<Bytes> answers = {longAnswer, longAnswer, longAnswer, kAnswer, longAnswer};
  std::thread handset([&] {
    for (const Bytes& answer : answers) {
      if (pty_.ReadFrame().empty()) return;  // one request
      const Bytes wire = EncodeForWire(answer);
      for (std::size_t at = 0; at < wire.size(); at += 12) {  // 12 bytes take about 3 ms at 38400 bit/s
        pty_.Write(Bytes(wire.begin() + static_cast<std::ptrdiff_t>(at),
                         wire.begin() + static_cast<std::ptrdiff_t>(std::min(at + 12, wire.size()))));
        std::this_thread::sleep_for(3ms);
      }
    }
  });
  comm_->ExpectAnswerBytes(static_cast<int>(longAnswer.size()) + 2);
  for (const Bytes& answer : answers) {
    EXPECT_EQ(GetPacket(kRequest, kAnswerTimeoutMs, kDiagnosticMode), kExchangeAnswered);
    EXPECT_EQ(comm_->lastReceiveLength(), static_cast<int>(answer.size()) + 2);
    EXPECT_EQ(Bytes(response_->rsp.bytes, response_->rsp.bytes + answer.size()), answer);
  }
  comm_->ExpectAnswerBytes(0);
  handset.join();
}

TEST_F(ZkCommExchange, TraceBreaksLinesAfter11ThenEvery15Bytes) {
  Bytes packet = {0x26};
  for (uint8_t i = 1; i < 24; ++i) packet.push_back(i);
  ASSERT_EQ(EncodeForWire(packet).size(), 27u);
  ASSERT_EQ(Answer(kRequest, EncodeForWire(packet)).result, kExchangeAnswered);
  ASSERT_EQ(comm_->packetQueue().size(), 1u);
  EXPECT_EQ(comm_->packetQueue().back(),
            "RX :  26 01 02 03 04 05 06 07 08 09 0A\r\n"
            " 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 92 F3\r\n"
            " 7E");
  // The trace shows the bytes as received: leading flags, escapes and all.
  const Bytes raw = Concat({{0x7E}, EncodeForWire({0x26, 0x7E})});
  ASSERT_EQ(Answer(kRequest, raw).result, kExchangeAnswered);
  EXPECT_EQ(comm_->packetQueue().back(), TraceText(raw));
}

// Error login files land in the directory of the library path buffer.
class ZkCommErrorLogin : public ZkCommExchange {
 protected:
  void SetUp() override {
    ZkCommExchange::SetUp();
    savedPath_ = zk::platform::LibraryPathBuffer();
    libraryDir_ = home_.path() / "lib";
    std::filesystem::create_directories(libraryDir_);
    ASSERT_TRUE(g_passPara.SetLibraryPath((libraryDir_ / "libzkdownload.so").string()));
  }
  void TearDown() override {
    g_passPara.SetLibraryPath(savedPath_);
    ZkCommExchange::TearDown();
  }
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string savedPath_;
  std::filesystem::path libraryDir_;
};

TEST_F(ZkCommErrorLogin, ListsTheLast20FramesOf25) {
  std::vector<PeerStep> steps;
  std::vector<Bytes> frames;
  for (uint8_t i = 0; i < 25; ++i) {
    frames.push_back(EncodeForWire({0x26, i}));
    steps.push_back(PeerStep{frames.back()});
  }
  zk::test::PtyPeer peer(pty_, steps);
  for (int i = 0; i < 25; ++i) ASSERT_EQ(GetPacket(kRequest, kAnswerTimeoutMs, kDiagnosticMode), 1) << i;
  peer.Finish();
  ASSERT_EQ(comm_->packetQueue().size(), 20u);

  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(comm_->MakeErrorLoginFile("Download failed.", 0), 1);
  const std::time_t after = std::time(nullptr);
  const std::string text = Read(libraryDir_ / "error_login_COM1.txt");

  // "MODEL : RB310", the local date and time without padding, the text.
  const std::regex head(
      "MODEL : RB310\r\n\r\nDATE : ([0-9]{4})\\.([1-9][0-9]?)\\.([1-9][0-9]?)  "
      "(0|[1-9][0-9]?):(0|[1-9][0-9]?):(0|[1-9][0-9]?)\r\n\r\nDownload failed\\.\r\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(text, match, head, std::regex_constants::match_continuous)) << text;
  std::tm stamp{};
  stamp.tm_year = std::stoi(match[1]) - 1900;
  stamp.tm_mon = std::stoi(match[2]) - 1;
  stamp.tm_mday = std::stoi(match[3]);
  stamp.tm_hour = std::stoi(match[4]);
  stamp.tm_min = std::stoi(match[5]);
  stamp.tm_sec = std::stoi(match[6]);
  stamp.tm_isdst = -1;
  const std::time_t written = std::mktime(&stamp);
  EXPECT_GE(written, before - 1);
  EXPECT_LE(written, after + 1);

  std::string traces;
  for (std::size_t i = 5; i < 25; ++i) traces += TraceText(frames[i]) + "\r\n";
  EXPECT_EQ(text.substr(static_cast<std::size_t>(match.length(0))), traces);
}

TEST_F(ZkCommErrorLogin, FileIsNamedAfterThePortAndReplacedEachTime) {
  ASSERT_EQ(comm_->MakeErrorLoginFile("first", 4), 1);
  ASSERT_EQ(comm_->MakeErrorLoginFile("second", 4), 1);
  const std::string text = Read(libraryDir_ / "error_login_COM5.txt");
  EXPECT_EQ(text.find("first"), std::string::npos);
  EXPECT_NE(text.find("\r\n\r\nsecond\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 8), "second\r\n");  // no trace yet

  ASSERT_TRUE(g_passPara.SetLibraryPath((home_.path() / "missing" / "lib.so").string()));
  EXPECT_EQ(comm_->MakeErrorLoginFile("text", 0), 0);
  EXPECT_FALSE(std::filesystem::exists(home_.path() / "missing"));
}

class ZkCommPorts : public ZkCommExchange {};

TEST_F(ZkCommPorts, SetComPortMovesToAnotherPortAndSavesTheSettings) {
  RawPty second;
  Link(2, second.slavePath());
  ASSERT_EQ(comm_->SetComPort(static_cast<COMM_PORT>(1)), 1);
  EXPECT_EQ(comm_->currentPort(), 1);
  EXPECT_EQ(zk::platform::Profile::Default().GetInt("CommPort Settings", "Port", -1), 0);

  zk::test::PtyPeer peer(second, {PeerStep{EncodeForWire(kAnswer)}});
  EXPECT_EQ(GetPacket(kRequest, kAnswerTimeoutMs, kDiagnosticMode), kExchangeAnswered);
  EXPECT_EQ(peer.Finish().at(0), EncodeForWire(kRequest));
  EXPECT_EQ(comm_->SetComPort(static_cast<COMM_PORT>(7)), 0);  // no COM8 entry
  EXPECT_EQ(comm_->IsOpen(), 0);
}

TEST_F(ZkCommPorts, LineSpeedSwitches) {
  ASSERT_EQ(comm_->CommOpen(COM1, 9600), 1);  // already open: nothing changes
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 38400u);
  EXPECT_EQ(comm_->SetComBaudRate(115200), 1);
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 115200u);
  EXPECT_EQ(comm_->SetComBaudRate(230400), 1);
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 230400u);
  EXPECT_EQ(comm_->SetupBCD(), 1);
  EXPECT_EQ(comm_->SetComBufSize(8192, 8192), 1);
  comm_->CommClose();
  EXPECT_EQ(comm_->SetupBCD(), 0);
  EXPECT_EQ(comm_->SetComBufSize(8192, 8192), 0);
  ASSERT_EQ(comm_->CommOpen(COM1, 115200), 1);
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 115200u);
}

TEST_F(ZkCommPorts, SioSendSWritesRawBytes) {
  comm_->SioSendS("AT\r\x7E", 4);
  EXPECT_EQ(pty_.ReadFor(200), (Bytes{'A', 'T', '\r', 0x7E}));
}

}  // namespace
