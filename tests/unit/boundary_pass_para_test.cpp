// Pass-parameter registration: what fnPassPara_Interface stores and what it
// leaves alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/pass_para_state.h"

namespace {

using zk::platform::PassParaState;

struct HostBuffers {
  int result = 0;
  int count = 0;
  unsigned char version[15] = {};
  unsigned char names[1000] = {};
  unsigned char times[1000] = {};
};

int RegisterAll(PassParaState& state, short mode, HostBuffers& host, const char* tag, const char* libraryPath,
                int requirementFlags, int calibrationCheck, int requirementMask) {
  const std::string one = std::string(tag) + "-1", two = std::string(tag) + "-2",
                    three = std::string(tag) + "-3", fallback = std::string("/fallback/") + tag;
  return state.Register(mode, &host.result, host.version, &host.count, host.names, host.times, one.c_str(),
                        two.c_str(), three.c_str(), fallback.c_str(), libraryPath, requirementFlags,
                        calibrationCheck, requirementMask);
}

TEST(PassParaState, ModeZeroStoresNothingEvenAfterRegistration) {
  PassParaState state;
  HostBuffers host;
  EXPECT_EQ(RegisterAll(state, 0, host, "a", "/opt/zk/libzkdownload.so", 8, 0, 0x3A), 1);
  EXPECT_EQ(state.m_mode, 0);
  EXPECT_EQ(state.m_resultCell, nullptr);
  EXPECT_EQ(state.m_calibrationCheck, 1);
  EXPECT_EQ(state.m_requirementMask, 0);
  EXPECT_TRUE(state.m_fallbackDirectory.empty());
  EXPECT_STREQ(state.m_libraryPath, "");

  HostBuffers first;
  ASSERT_EQ(RegisterAll(state, 3, first, "b", "/first/lib.so", 8, 0, 0x22), 1);
  HostBuffers other;
  EXPECT_EQ(RegisterAll(state, 0, other, "c", "/second/lib.so", 0, 1, 0), 1);
  EXPECT_EQ(state.m_mode, 3);  // a mode once on stays on
  EXPECT_EQ(state.m_resultCell, &first.result);
  EXPECT_EQ(state.m_hostTexts[0], "b-1");
  EXPECT_EQ(state.m_fallbackDirectory, "/fallback/b");
  EXPECT_STREQ(state.m_libraryPath, "/first/lib.so");
  EXPECT_TRUE(state.m_requirementSwitch);
  EXPECT_EQ(state.m_calibrationCheck, 0);
  EXPECT_EQ(state.m_requirementMask, 0x22);
}

TEST(PassParaState, RegistrationStoresEveryArgument) {
  PassParaState state;
  HostBuffers host;
  ASSERT_EQ(RegisterAll(state, -2, host, "x", "/opt/zk/libzkdownload.so", 8, 0, 0x32), 1);
  EXPECT_EQ(state.m_mode, -2);  // widened, sign kept: nonzero is on
  EXPECT_EQ(state.m_resultCell, &host.result);
  EXPECT_EQ(state.m_versionBuffer, host.version);
  EXPECT_EQ(state.m_countCell, &host.count);
  EXPECT_EQ(state.m_nameBuffer, host.names);
  EXPECT_EQ(state.m_timeBuffer, host.times);
  EXPECT_EQ(state.m_hostTexts[0], "x-1");
  EXPECT_EQ(state.m_hostTexts[1], "x-2");
  EXPECT_EQ(state.m_hostTexts[2], "x-3");
  EXPECT_EQ(state.m_fallbackDirectory, "/fallback/x");
  EXPECT_STREQ(state.m_libraryPath, "/opt/zk/libzkdownload.so");
  EXPECT_TRUE(state.m_requirementSwitch);
  EXPECT_EQ(state.m_calibrationCheck, 0);
  EXPECT_EQ(state.m_requirementMask, 0x32);
  // Registration writes nothing into the host's memory.
  EXPECT_EQ(host.result, 0);
  EXPECT_EQ(host.count, 0);
}

TEST(PassParaState, LaterRegistrationReplacesEveryValue) {
  PassParaState state;
  HostBuffers first;
  ASSERT_EQ(RegisterAll(state, 1, first, "first", "/first/lib.so", 8, 0, 0x3A), 1);
  ASSERT_EQ(state.Register(1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, 0, 5, 0),
            1);
  EXPECT_EQ(state.m_resultCell, nullptr);
  EXPECT_EQ(state.m_versionBuffer, nullptr);
  EXPECT_EQ(state.m_countCell, nullptr);
  EXPECT_EQ(state.m_nameBuffer, nullptr);
  EXPECT_EQ(state.m_timeBuffer, nullptr);
  for (const auto& text : state.m_hostTexts) EXPECT_TRUE(text.empty());
  EXPECT_TRUE(state.m_fallbackDirectory.empty());
  EXPECT_STREQ(state.m_libraryPath, "");  // a null text is an empty text
  EXPECT_FALSE(state.m_requirementSwitch);
  EXPECT_EQ(state.m_calibrationCheck, 5);
  EXPECT_EQ(state.m_requirementMask, 0);
}

TEST(PassParaState, RequirementSwitchIsBitThreeOfArgumentFourteen) {
  const struct {
    int flags;
    bool on;
  } cases[] = {{8, true}, {7, false}, {0, false}, {0xFF, true}, {0xF7, false}, {0x10, false}, {-1, true}};
  for (const auto& c : cases) {
    PassParaState state;
    HostBuffers host;
    RegisterAll(state, 1, host, "r", "/lib.so", c.flags, 1, 0);
    EXPECT_EQ(state.m_requirementSwitch, c.on) << "flags " << c.flags;
  }
}

// The state followed by a guard that an overrun of the path buffer would hit.
struct GuardedState {
  PassParaState state;
  unsigned char guard[64];
};

TEST(PassParaState, OverlongLibraryPathIsRefusedWithoutOverrun) {
  GuardedState guarded;
  std::memset(guarded.guard, 0xA5, sizeof guarded.guard);
  PassParaState& state = guarded.state;
  ASSERT_TRUE(state.SetLibraryPath("/usr/lib/libzkdownload.so"));

  const std::string overlong(PassParaState::kLibraryPathSize, 'p');  // no room for the terminator
  HostBuffers host;
  EXPECT_EQ(RegisterAll(state, 1, host, "long", overlong.c_str(), 8, 0, 0x20), 1);
  EXPECT_STREQ(state.m_libraryPath, "/usr/lib/libzkdownload.so");
  // Everything else is still stored.
  EXPECT_EQ(state.m_mode, 1);
  EXPECT_EQ(state.m_resultCell, &host.result);
  EXPECT_EQ(state.m_fallbackDirectory, "/fallback/long");
  EXPECT_TRUE(state.m_requirementSwitch);
  EXPECT_EQ(state.m_requirementMask, 0x20);
  for (unsigned char byte : guarded.guard) ASSERT_EQ(byte, 0xA5);

  // The longest path that fits is taken whole.
  const std::string longest(PassParaState::kLibraryPathSize - 1, 'q');
  RegisterAll(state, 1, host, "fit", longest.c_str(), 0, 1, 0);
  EXPECT_EQ(std::string(state.m_libraryPath), longest);
  for (unsigned char byte : guarded.guard) ASSERT_EQ(byte, 0xA5);
}

TEST(PassParaState, LoadRecordsOwnPathOnlyWhileUnregistered) {
  PassParaState state;
  state.RefreshLibraryPath();
  const std::string own = state.m_libraryPath;
  EXPECT_FALSE(own.empty());
  EXPECT_EQ(own.front(), '/');

  HostBuffers host;
  RegisterAll(state, 1, host, "h", "/host/chosen/lib.so", 0, 1, 0);
  state.RefreshLibraryPath();
  EXPECT_STREQ(state.m_libraryPath, "/host/chosen/lib.so");
}

}  // namespace
