// The library-wide link opened on a real pty whose master end a test plays
// as the handset, at a small time scale.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <system_error>
#include <vector>

#include "support/library_objects.h"
#include "platform/clock.h"
#include "platform/port_map.h"
#include "support/pty_peer.h"
#include "support/temp_home.h"

namespace zk::test {

class DiagPtyTest : public ::testing::Test {
 protected:
  static constexpr double kScale = 0.02;
  static constexpr int kPortIndex = 2;  // COM3

  void SetUp() override {
    savedScale_ = zk::platform::TimeScale();
    zk::platform::SetTimeScale(kScale);
    std::error_code error;
    ASSERT_TRUE(zk::platform::LinkPort(kPortIndex + 1, pty_.slavePath(), std::nullopt, error)) << error.message();
    ResetLinkState();
    ASSERT_TRUE(g_diagLink.OpenPort(kPortIndex));
  }

  void TearDown() override {
    g_diagLink.ClosePort();
    ResetLinkState();
    zk::platform::SetTimeScale(savedScale_);
  }

  static void ResetLinkState() {
    g_diagLink.m_downloadMode = 0;
    g_diagLink.m_dmBaud = 0;
    g_diagLink.m_lastOk = 0;
    g_packetProcess.m_keysEnabled = 0;
  }

  // Runs `work` while a scripted handset answers on the master end; returns
  // the request frames it read, as they came off the wire.
  template <typename Work>
  std::vector<Bytes> WithPeer(std::vector<PeerStep> steps, Work&& work) {
    PtyPeer peer(pty_, std::move(steps));
    work();
    return peer.Finish();
  }

  // Steps that answer each request with `packet`.
  static std::vector<PeerStep> Replies(std::initializer_list<Bytes> packets) {
    std::vector<PeerStep> steps;
    for (const auto& packet : packets) steps.push_back(PeerStep{EncodeForWire(packet)});
    return steps;
  }

  // Steps that read `count` requests and answer none.
  static std::vector<PeerStep> Silence(int count) { return std::vector<PeerStep>(count, PeerStep{}); }

  // Whatever the library sent after the script ended.
  Bytes Leftover() { return pty_.ReadFor(60); }

  double savedScale_ = 1.0;
  TempHome home_;
  RawPty pty_;
};

}  // namespace zk::test
