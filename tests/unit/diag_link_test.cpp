// CDiagLink: the stored SPC code and link parameters, the configured service
// sequence, and Transact's answer rules in both modes over a real pty.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

#include "support/library_objects.h"
#include "diag/diag_link.h"
#include "diag_pty_fixture.h"
#include "support/temp_home.h"

namespace {

using zk::test::Bytes;
using zk::test::EncodeForWire;

std::string StoredSpc(const char* argument) {
  CDiagLink& link = g_diagLink;
  std::memset(link.m_spcCode, 'X', sizeof(link.m_spcCode));
  link.SetSpcCode(argument);
  // Every byte after the terminator is cleared, so nothing of an older code remains.
  const std::size_t length = std::strlen(link.m_spcCode);
  for (std::size_t i = length; i < sizeof(link.m_spcCode); ++i) EXPECT_EQ(link.m_spcCode[i], '\0') << i;
  return link.m_spcCode;
}

TEST(SpcCode, EmptyArgumentSelectsTheFactoryCode) {
  EXPECT_EQ(StoredSpc(nullptr), "271828");
  EXPECT_EQ(StoredSpc(""), "271828");
  EXPECT_EQ(StoredSpc("000000"), "000000");
  EXPECT_EQ(StoredSpc("1234"), "1234");
}

TEST(SpcCode, LongArgumentIsCutToSevenCharactersAndStaysTerminated) {
  EXPECT_EQ(StoredSpc("1234567"), "1234567");
  EXPECT_EQ(StoredSpc("12345678"), "1234567");
  const std::string huge(5000, '9');
  EXPECT_EQ(StoredSpc(huge.c_str()), "9999999");
  EXPECT_EQ(g_diagLink.m_spcCode[CDiagLink::kSpcCodeSize - 1], '\0');
}

TEST(LinkParams, KeepsTheLowSixteenBitsOfThePortIndex) {
  EXPECT_EQ(g_diagLink.SetLinkParams(3, 0x10004, 7, 0, -1), 4);
  EXPECT_EQ(g_diagLink.m_portIndex, 4);
  EXPECT_EQ(g_diagLink.m_opKind, 3);
  EXPECT_EQ(g_diagLink.m_linkParams[0], 7);
  EXPECT_EQ(g_diagLink.m_linkParams[2], -1);
  EXPECT_EQ(g_diagLink.SetLinkParams(0, 0, 0, 0, -1), 0);
}

TEST(ServiceSequence, ComesFromTheProfileWhenItIsSevenDigits) {
  zk::test::TempHome home;
  EXPECT_EQ(CDiagLink::ServiceSequence(), CDiagLink::kDefaultServiceSequence);  // no profile at all

  const auto configure = [&](const std::string& value) {
    std::ofstream(home.path() / "profile.ini") << "[CommPort Settings]\nPort=4\n[Handset]\nServiceSequence = "
                                               << value << "\n";
    return CDiagLink::ServiceSequence();
  };
  EXPECT_EQ(configure("1234567"), "1234567");
  EXPECT_EQ(configure("9876543"), "9876543");
  EXPECT_EQ(configure("12a4567"), CDiagLink::kDefaultServiceSequence);
  EXPECT_EQ(configure("123456"), CDiagLink::kDefaultServiceSequence);
  EXPECT_EQ(configure("12345678"), CDiagLink::kDefaultServiceSequence);
  EXPECT_EQ(configure(""), CDiagLink::kDefaultServiceSequence);
  EXPECT_EQ(configure("+123456"), CDiagLink::kDefaultServiceSequence);
}

class TransactTest : public zk::test::DiagPtyTest {
 protected:
  static constexpr int kTimeoutMs = 5000;  // 100 ms at the test scale

  int Transact(const Bytes& packet) {
    std::memset(&request_, 0, sizeof(request_));
    std::memcpy(request_.req.bytes, packet.data(), packet.size());
    return g_diagLink.Transact(&request_, &response_, static_cast<int>(packet.size()), kTimeoutMs);
  }

  diag_req_pkt_type request_{};
  diag_rsp_pkt_type response_{};
};

TEST_F(TransactTest, DiagnosticAnswerWithTheRequestCodeIsAcceptedAtOnce) {
  int result = 0;
  const auto requests = WithPeer(Replies({{0x01, 0x41, 0x2C, 0x3A, 0x9F}}), [&] { result = Transact({0x01}); });
  EXPECT_EQ(result, kTransactAccepted);
  EXPECT_EQ(g_diagLink.m_lastOk, 1);
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(response_.rsp.bytes[1], 0x41);
  EXPECT_TRUE(Leftover().empty());
}

TEST_F(TransactTest, DiagnosticForeignCodeIsAskedAgainOnceThenNoAnswer) {
  for (const uint8_t foreign : {0x13, 0x42}) {
    g_diagLink.m_lastOk = 1;
    int result = 0;
    const auto requests = WithPeer(Replies({{foreign, 0x41}, {foreign, 0x41}}), [&] { result = Transact({0x41}); });
    EXPECT_EQ(result, kNoAnswer);
    EXPECT_EQ(g_diagLink.m_lastOk, 0);
    EXPECT_TRUE(g_diagLink.m_lastAnswered);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], EncodeForWire({0x41}));
    EXPECT_TRUE(Leftover().empty());
  }
}

TEST_F(TransactTest, DiagnosticSecondTryCanStillSucceed) {
  int result = 0;
  const auto requests = WithPeer(Replies({{0x13, 0x0C}, {0x0C}}), [&] { result = Transact({0x0C}); });
  EXPECT_EQ(result, kTransactAccepted);
  EXPECT_EQ(requests.size(), 2u);
}

TEST_F(TransactTest, SilenceUsesBothTriesAndLeavesNoAnswerFlag) {
  int result = 0;
  const auto requests = WithPeer(Silence(2), [&] { result = Transact({0x00}); });
  EXPECT_EQ(result, kNoAnswer);
  EXPECT_FALSE(g_diagLink.m_lastAnswered);
  EXPECT_EQ(requests.size(), 2u);
}

TEST_F(TransactTest, ClosedPortIsNoAnswer) {
  g_diagLink.ClosePort();
  g_diagLink.m_lastOk = 1;
  EXPECT_EQ(Transact({0x01}), kNoAnswer);
  EXPECT_EQ(g_diagLink.m_lastOk, 0);
}

TEST_F(TransactTest, DownloadAcknowledgementAnswersAnyRequest) {
  g_diagLink.m_downloadMode = 1;
  int ack = 0, echo = 0;
  const auto requests = WithPeer(Replies({{0x02}, {0x05, 0x00}}), [&] {
    ack = Transact({0x05, 0x00, 0x10});
    echo = Transact({0x05, 0x00, 0x10});
  });
  EXPECT_EQ(ack, kTransactAccepted);
  EXPECT_EQ(echo, kTransactAccepted);
  EXPECT_EQ(g_diagLink.m_lastOk, 1);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0][0], 0x7E);  // download framing: the lead-in flags
}

TEST_F(TransactTest, DownloadNegativeAcknowledgementPausesAndGivesUp) {
  g_diagLink.m_downloadMode = 1;
  int result = -1;
  const auto start = std::chrono::steady_clock::now();
  const auto requests = WithPeer(Replies({{0x03, 0x01}}), [&] { result = Transact({0x05}); });
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result, kTransactRefused);
  EXPECT_EQ(g_diagLink.m_lastOk, 0);
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_TRUE(Leftover().empty());  // no further try
  EXPECT_GE(elapsed, zk::platform::Scaled(2000));
}

TEST_F(TransactTest, DownloadOtherAnswerIsRefusedWithoutRetry) {
  g_diagLink.m_downloadMode = 1;
  int result = -1;
  const auto requests = WithPeer(Replies({{0x13, 0x05}}), [&] { result = Transact({0x05}); });
  EXPECT_EQ(result, kTransactRefused);
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_TRUE(Leftover().empty());
}

TEST_F(TransactTest, DownloadSilenceUsesTenTries) {
  g_diagLink.m_downloadMode = 1;
  int result = 0;
  const auto requests = WithPeer(Silence(10), [&] { result = Transact({0x05}); });
  EXPECT_EQ(result, kNoAnswer);
  EXPECT_EQ(requests.size(), 10u);
  EXPECT_TRUE(Leftover().empty());
}

TEST_F(TransactTest, ExchangeGivesTheAnswerAsLongAsTheHandsetSentIt) {
  Bytes longAnswer(3000, 0x11);  // longer than the response buffer
  longAnswer[0] = 0x01;
  zk::diag::Reply esn, overlong;
  Bytes esnBytes;
  const auto requests = WithPeer(Replies({{0x01, 0x41, 0x2C, 0x3A, 0x9F}, longAnswer}), [&] {
    const Bytes request = {0x01};
    esn = g_diagLink.Exchange(request, kTimeoutMs);
    esnBytes.assign(esn.answer.begin(), esn.answer.end());  // the next exchange reuses the buffer
    overlong = g_diagLink.Exchange(request, kTimeoutMs);
  });
  EXPECT_TRUE(esn.Accepted());
  EXPECT_TRUE(esn.answered);
  EXPECT_EQ(esnBytes, (Bytes{0x01, 0x41, 0x2C, 0x3A, 0x9F}));
  EXPECT_TRUE(overlong.Accepted());
  EXPECT_EQ(overlong.answer.size(), kDiagResponseBufferSize);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], EncodeForWire({0x01}));
}

TEST_F(TransactTest, AFrameOfCheckBytesAloneIsNeverAnAnswer) {
  // An empty packet's check bytes are 00 00: the version request's code.
  zk::diag::Reply reply;
  const auto requests = WithPeer(Replies({{}, {}}), [&] { reply = g_diagLink.Exchange(Bytes{0x00}, kTimeoutMs); });
  EXPECT_EQ(reply.result, kNoAnswer);
  EXPECT_TRUE(reply.answered);
  EXPECT_TRUE(reply.answer.empty());
  EXPECT_EQ(requests.size(), 2u);

  g_diagLink.m_downloadMode = 1;  // nor an acknowledgement or an echo
  WithPeer(Replies({{}}), [&] { reply = g_diagLink.Exchange(Bytes{0x00}, kTimeoutMs); });
  EXPECT_EQ(reply.result, kTransactRefused);
}

TEST_F(TransactTest, AnEmptyOrOversizedRequestIsNotSent) {
  EXPECT_EQ(g_diagLink.Exchange({}, kTimeoutMs).result, kNoAnswer);
  const Bytes huge(kDiagRequestBufferSize + 1, 0x01);
  EXPECT_EQ(g_diagLink.Exchange(huge, kTimeoutMs).result, kNoAnswer);
  EXPECT_TRUE(Leftover().empty());
}

}  // namespace
