// How a serial export's port mask names the port, and how the plain form
// treats the host's result cell.
#include <gtest/gtest.h>

#include <cstdint>

#include "boundary/export_forms.h"
#include "support/library_objects.h"

namespace {

using zk::boundary::PortIndexFromMask;

int16_t Mask(uint16_t bits) { return static_cast<int16_t>(bits); }

TEST(PortMask, LowestSetBitSelectsThePortAndNoBitSelectsCom1) {
  EXPECT_EQ(PortIndexFromMask(Mask(0x0000)), 0);   // COM1
  EXPECT_EQ(PortIndexFromMask(Mask(0x0001)), 0);
  EXPECT_EQ(PortIndexFromMask(Mask(0x0006)), 1);   // COM2 and COM3 set: COM2
  EXPECT_EQ(PortIndexFromMask(Mask(0x0010)), 4);   // COM5
  EXPECT_EQ(PortIndexFromMask(Mask(0x8000)), 15);  // the sign bit: COM16
  EXPECT_EQ(PortIndexFromMask(Mask(0xFFFF)), 0);
  EXPECT_EQ(PortIndexFromMask(Mask(0xC000)), 14);
}

class PlainForm : public ::testing::Test {
 protected:
  void SetUp() override {
    g_passPara.m_mode = 1;
    g_passPara.m_resultCell = &cell_;
  }
  void TearDown() override {
    g_passPara.m_mode = 0;
    g_passPara.m_resultCell = nullptr;
  }
  int cell_ = 77;
};

TEST_F(PlainForm, FailureLeavesTheCellAndSuccessWritesOne) {
  EXPECT_EQ(zk::boundary::PlainResult(401035), 0);
  EXPECT_EQ(cell_, 77);
  EXPECT_EQ(zk::boundary::LastFlowResult(), 401035);
  EXPECT_EQ(zk::boundary::PlainResult(1, /*touchResultCell=*/false), 1);
  EXPECT_EQ(cell_, 77);
  EXPECT_EQ(zk::boundary::PlainResult(1), 1);
  EXPECT_EQ(cell_, 1);
}

TEST_F(PlainForm, UnregisteredHostHasNoCellToWrite) {
  g_passPara.m_mode = 0;
  EXPECT_EQ(zk::boundary::PlainResult(1), 1);
  EXPECT_EQ(cell_, 77);
}

}  // namespace
