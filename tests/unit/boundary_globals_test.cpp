// The library-wide objects as a host sees them through the exports linked
// into the core: model queries, registration through the export, the path
// recorded at load.
#include <gtest/gtest.h>

#include <string>

#include "support/library_objects.h"
#include "platform/library_path.h"
#include "platform/library_state.h"
#include "zkdownload/zkdownload.h"

namespace {

// Registration is permanent for the process; put the global state back so
// that the tests stay independent of their order.
class GlobalPassPara : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = g_passPara; }
  void TearDown() override { g_passPara = saved_; }
  zk::platform::PassParaState saved_;
};

void ExpectModelIdentity() {
  EXPECT_STREQ(GetModelName_Interface(), "RB310");
  EXPECT_STREQ(GetBINVersion_Interface(), "RB31VV");
  EXPECT_STREQ(GetModelKind_Interface(), "Tri Mode");
  EXPECT_EQ(GetSPCAddress_Interface(), 0);
  EXPECT_EQ(GetPRLItemNum_Interface(), 2100);
  EXPECT_EQ(GetERIItemNum_Interface(), 2101);
}

TEST_F(GlobalPassPara, LoadRecordedTheLibraryPath) {
  ASSERT_EQ(g_passPara.m_mode, 0);
  // Linked statically, the library's own file is this test program.
  EXPECT_EQ(std::string(zk::platform::LibraryPathBuffer()), zk::platform::LibraryPath());
  EXPECT_EQ(g_passPara.m_calibrationCheck, 1);
}

TEST_F(GlobalPassPara, QueriesDoNotDependOnRegistration) {
  ExpectModelIdentity();
  const char* name = GetModelName_Interface();

  int result = 0;
  unsigned char version[15] = {};
  EXPECT_EQ(fnPassPara_Interface(1, &result, version, 0, 0, nullptr, nullptr, nullptr, "a", "b", "c", "/fb",
                                 "/elsewhere/lib.so", 8, 0, 0x3A),
            1);
  EXPECT_EQ(g_passPara.m_mode, 1);
  EXPECT_EQ(g_passPara.m_resultCell, &result);
  EXPECT_STREQ(zk::platform::LibraryPathBuffer(), "/elsewhere/lib.so");
  ExpectModelIdentity();
  EXPECT_EQ(GetModelName_Interface(), name);  // the same library-owned text
}

TEST_F(GlobalPassPara, ExportWithModeZeroChangesNothing) {
  const std::string path = zk::platform::LibraryPathBuffer();
  int result = 7;
  EXPECT_EQ(fnPassPara_Interface(0, &result, nullptr, 0, 0, nullptr, nullptr, nullptr, "a", nullptr, nullptr,
                                 "/fb", "/elsewhere/lib.so", 8, 0, 0x3A),
            1);
  EXPECT_EQ(g_passPara.m_mode, 0);
  EXPECT_EQ(g_passPara.m_resultCell, nullptr);
  EXPECT_EQ(g_passPara.m_calibrationCheck, 1);
  EXPECT_FALSE(g_passPara.m_requirementSwitch);
  EXPECT_EQ(std::string(zk::platform::LibraryPathBuffer()), path);
  EXPECT_EQ(result, 7);
}

}  // namespace
