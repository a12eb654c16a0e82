// The handset's NV items and PRLs: statuses, NAM indexing, persistence.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <numeric>

#include "services/diag_codes.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SimNv, NeverWrittenItemReportsFiveThenHoldsWhatWasWritten) {
  HandsetRig rig;  // 999: an item the handset was not made with
  auto read = rig.Ask(NvRequest(0x26, 999));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 133u);
  EXPECT_EQ(Le16(*read, 131), nv::kNotActive);

  const Bytes banner{'Z', 'E', 'K', 'A'};
  const auto written = rig.Ask(NvRequest(0x27, 999, banner));
  ASSERT_TRUE(written);
  EXPECT_EQ(Le16(*written, 131), nv::kDone);
  EXPECT_EQ(std::filesystem::file_size(rig.stateDir() / "nv" / "999.bin"), 128u);

  rig.Recreate();  // the store outlives the handset
  read = rig.Ask(NvRequest(0x26, 999));
  ASSERT_TRUE(read);
  EXPECT_EQ(Le16(*read, 131), nv::kDone);
  EXPECT_EQ(Bytes(read->begin() + 3, read->begin() + 7), banner);
  EXPECT_EQ(Le16(*read, 1), 999);
}

TEST(SimNv, NamItemsAreKeptPerIndexFromDataByteZero) {
  HandsetRig rig;
  rig.Ask(NvRequest(0x27, 178, {0, '5', '5', '5'}));
  rig.Ask(NvRequest(0x27, 178, {1, '7', '7', '7'}));
  const auto nam1 = rig.Ask(NvRequest(0x26, 178, {1}));
  ASSERT_TRUE(nam1);
  EXPECT_EQ(Bytes(nam1->begin() + 3, nam1->begin() + 7), (Bytes{1, '7', '7', '7'}));
  const auto nam0 = rig.Ask(NvRequest(0x26, 178, {0}));
  EXPECT_EQ(Bytes(nam0->begin() + 3, nam0->begin() + 7), (Bytes{0, '5', '5', '5'}));
  EXPECT_EQ(Le16(*rig.Ask(NvRequest(0x26, 178, {2})), 131), nv::kBadParameter);
  // Not a NAM item: byte 0 is data, not an index.
  rig.Ask(NvRequest(0x27, 82, {9, 9}));
  EXPECT_TRUE(std::filesystem::exists(rig.stateDir() / "nv" / "82.bin"));
}

TEST(SimNv, EsnItemMirrorsTheSerialNumberUntilWritten) {
  SimOptions options = DmOptions();
  options.identity.esn = 0x01020304;
  HandsetRig rig(options);
  const auto read = rig.Ask(NvRequest(0x26, 0));
  EXPECT_EQ(Le16(*read, 131), nv::kDone);
  EXPECT_EQ(Le32(*read, 3), 0x01020304u);
}

TEST(SimNv, StatusFaultsHitTheirItemIndexAndDirectionOnly) {
  SimOptions options = DmOptions();
  options.faults.nvStatus.push_back({25, 1, nv::kReadOnly, true, false});
  options.faults.nvStatus.push_back({82, -1, nv::kFail, false, true});
  HandsetRig rig(options);
  rig.Ask(NvRequest(0x27, 25, {1, 0xAA}));
  EXPECT_EQ(Le16(*rig.Ask(NvRequest(0x26, 25, {1})), 131), nv::kReadOnly);
  EXPECT_EQ(Le16(*rig.Ask(NvRequest(0x26, 25, {0})), 131), nv::kNotActive);

  EXPECT_EQ(Le16(*rig.Ask(NvRequest(0x27, 82, {'1'})), 131), nv::kFail);
  EXPECT_FALSE(rig.handset().nv().store().Read(82, -1));  // a failed write stores nothing
}

Bytes PrlWrite(uint8_t sequence, bool more, uint8_t nam, const Bytes& file, std::size_t offset) {
  const std::size_t count = std::min<std::size_t>(40, file.size() - offset);
  Bytes packet(46, 0);
  packet[0] = 0x48;
  packet[1] = sequence;
  packet[2] = more ? 1 : 0;
  packet[3] = nam;
  packet[4] = static_cast<uint8_t>((count * 8) & 0xFF);
  packet[5] = static_cast<uint8_t>((count * 8) >> 8);
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, packet.begin() + 6);
  return packet;
}

// Sends `file` the way the host does: 40-byte blocks, the last without "more".
void SendPrl(HandsetRig& rig, uint8_t nam, const Bytes& file) {
  uint8_t sequence = 0;
  for (std::size_t sent = 0; sent < file.size(); sent += 40, ++sequence) {
    const auto answer = rig.Ask(PrlWrite(sequence, sent + 40 < file.size(), nam, file, sent));
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->at(0), 0x48);
    ASSERT_EQ(answer->at(1), diag::kPrlOk) << "block " << int(sequence);
  }
}

TEST(SimPrl, WrittenListIsStoredPerNamAndReadBackInBlocks) {
  HandsetRig rig;
  Bytes file(300);
  std::iota(file.begin(), file.end(), 0);
  SendPrl(rig, 1, file);
  EXPECT_EQ(FileBytes(rig.stateDir() / "prl" / "nam1.bin"), file);
  EXPECT_FALSE(std::filesystem::exists(rig.stateDir() / "prl" / "nam0.bin"));

  Bytes readBack;
  for (uint8_t sequence = 0;; ++sequence) {
    const auto answer = rig.Ask({0x49, sequence, 1});
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->size(), 8u + 120u);
    const std::size_t bytes = Le16(*answer, 6) / 8;
    readBack.insert(readBack.end(), answer->begin() + 8, answer->begin() + 8 + static_cast<std::ptrdiff_t>(bytes));
    if (answer->at(5) == 0) break;
    ASSERT_LT(sequence, 3);
  }
  EXPECT_EQ(readBack, file);

  const auto empty = rig.Ask({0x49, 0, 0});  // nothing in NAM 0
  EXPECT_EQ(empty->at(5), 0);
  EXPECT_EQ(Le16(*empty, 6), 0);
}

TEST(SimPrl, BlockOutOfSequenceAbandonsTheListAndRepeatedBlockIsNotStoredTwice) {
  HandsetRig rig;
  Bytes file(100, 0x5A);
  SendPrl(rig, 0, file);

  Bytes other(120, 0x11);
  EXPECT_EQ(rig.Ask(PrlWrite(0, true, 0, other, 0))->at(1), diag::kPrlOk);
  EXPECT_EQ(rig.Ask(PrlWrite(2, false, 0, other, 80))->at(1), diag::kPrlSequenceError);
  EXPECT_EQ(FileBytes(rig.stateDir() / "prl" / "nam0.bin"), file);  // old list kept

  // The host repeats a block whose answer it lost.
  EXPECT_EQ(rig.Ask(PrlWrite(0, true, 0, other, 0))->at(1), diag::kPrlOk);
  EXPECT_EQ(rig.Ask(PrlWrite(1, true, 0, other, 40))->at(1), diag::kPrlOk);
  EXPECT_EQ(rig.Ask(PrlWrite(1, true, 0, other, 40))->at(1), diag::kPrlOk);
  EXPECT_EQ(rig.Ask(PrlWrite(2, false, 0, other, 80))->at(1), diag::kPrlOk);
  EXPECT_EQ(FileBytes(rig.stateDir() / "prl" / "nam0.bin"), other);
}

TEST(SimPrl, LongListWrapsTheSequenceNumber) {
  SimOptions options = DmOptions();
  options.prl.maxBytes = 20000;
  HandsetRig rig(options);
  Bytes file(257 * 40 + 8);
  std::iota(file.begin(), file.end(), 0);
  SendPrl(rig, 0, file);
  EXPECT_EQ(FileBytes(rig.stateDir() / "prl" / "nam0.bin"), file);
}

TEST(SimPrl, BadNamAndOverflowAreRefused) {
  SimOptions options = DmOptions();
  options.prl.maxBytes = 60;
  HandsetRig rig(options);
  Bytes file(100, 1);
  EXPECT_EQ(rig.Ask(PrlWrite(0, true, 2, file, 0))->at(1), diag::kPrlBadBlock);
  EXPECT_EQ(rig.Ask(PrlWrite(0, true, 0, file, 0))->at(1), diag::kPrlOk);
  EXPECT_EQ(rig.Ask(PrlWrite(1, false, 0, file, 40))->at(1), diag::kPrlOverflow);
  EXPECT_FALSE(std::filesystem::exists(rig.stateDir() / "prl" / "nam0.bin"));
}

}  // namespace
}  // namespace rb310::test
