// The service steps against a scripted handset behind the Transactor seam:
// what they send, how many times, and what they make of each answer,
// including answers too short to carry the fields the step reads.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "flash/dl_common.h"
#include "platform/clock.h"
#include "support/scripted_transactor.h"
#include "support/temp_home.h"

namespace {

using zk::diag::OfflineResult;
using zk::diag::ResetResult;
using zk::test::ScriptedTransactor;
using Bytes = std::vector<uint8_t>;
using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

const Bytes kOffline = {0x29, 0x01, 0x00};
const Bytes kReset = {0x29, 0x02, 0x00};
const Bytes kStatus = {0x0C};

// A status answer of `size` bytes with the mode word and phone state set
// where they fit.
Bytes Status(uint16_t modeWord, uint16_t phoneState, std::size_t size = 48) {
  Bytes answer(std::max<std::size_t>(size, 34), 0);
  answer[0] = 0x0C;
  answer[8] = static_cast<uint8_t>(modeWord);
  answer[32] = static_cast<uint8_t>(phoneState);
  answer.resize(size);
  return answer;
}

Bytes FileBytes(std::FILE* file) {
  std::rewind(file);
  Bytes bytes(4096);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  return bytes;
}

class SeamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedScale_ = zk::platform::TimeScale();
    zk::platform::SetTimeScale(0.001);  // the settle and key pauses
  }
  void TearDown() override {
    EXPECT_EQ(handset_.unplayed(), 0u) << "steps the code never reached";
    zk::platform::SetTimeScale(savedScale_);
  }

  double savedScale_ = 1.0;
  ScriptedTransactor handset_;
  CPacketProcess process_{handset_};
};

TEST_F(SeamTest, GoOfflineGivesUpAfterTwelveAttemptsWithoutAUsableState) {
  for (int i = 0; i < 12; ++i) handset_.Answer(kOffline, kOffline).Answer(kStatus, Status(0, 2));
  EXPECT_EQ(process_.GoOffline(), OfflineResult::kNotConfirmed);
  EXPECT_EQ(handset_.exchanges(), 24u);
}

TEST_F(SeamTest, GoOfflineConfirmsOnTheFirstUsableStatus) {
  handset_.Answer(kOffline, kOffline).Answer(kStatus, Status(1, 6));
  handset_.Answer(kOffline, kOffline).Silence(kStatus);
  handset_.Answer(kOffline, kOffline).Answer(kStatus, Status(1, 2));
  EXPECT_EQ(process_.GoOffline(), OfflineResult::kConfirmed);
}

TEST_F(SeamTest, AStatusTooShortForThePhoneStateNeverConfirms) {
  // Mode word 1 and, were byte 32 part of the answer, phone state 2.
  for (int i = 0; i < 12; ++i) handset_.Answer(kOffline, kOffline).Answer(kStatus, Status(1, 2, 33));
  EXPECT_EQ(process_.GoOffline(), OfflineResult::kNotConfirmed);
}

TEST_F(SeamTest, OfflineAndResetTellSilenceFromAnotherAnswer) {
  handset_.Silence(kOffline).Answer(kOffline, {0x13, 0x29});
  EXPECT_EQ(process_.GoOffline(), OfflineResult::kNoAnswer);
  EXPECT_EQ(process_.GoOffline(), OfflineResult::kOtherCode);

  // The reset goes out whatever the offline step gave.
  handset_.Silence(kOffline).Answer(kReset, {0x13, 0x29});
  handset_.Silence(kOffline).Silence(kReset);
  handset_.Silence(kOffline).Answer(kReset, kReset);
  EXPECT_EQ(process_.ResetPhone(), ResetResult::kOtherCode);
  EXPECT_EQ(process_.ResetPhone(), ResetResult::kNoAnswer);
  EXPECT_EQ(process_.ResetPhone(), ResetResult::kDone);
  EXPECT_EQ(handset_.timeouts().back(), 15000);
}

TEST_F(SeamTest, SpcCodeIsJudgedByTheAcceptanceByteWhenTheAnswerCarriesIt) {
  const Bytes request = {0x41, '2', '7', '1', '8', '2', '8'};
  handset_.Answer(request, {0x41, 0x01}).Answer(request, {0x41, 0x00}).Answer(request, {0x41});
  EXPECT_TRUE(process_.SendSpcCode("271828"));
  EXPECT_FALSE(process_.SendSpcCode("271828"));
  EXPECT_FALSE(process_.SendSpcCode("271828"));  // no acceptance byte: nothing accepted
}

TEST_F(SeamTest, PrlReadTakesWhatEachAnswerCarriedAndFailsOnAShortOrRefusedOne) {
  using zk::diag::PrlReadOutcome;
  FilePtr file(std::tmpfile(), &std::fclose);
  ASSERT_TRUE(file);
  // Claims 0xFFF0 bits, carries "ab"; then a last block of one byte.
  handset_.Answer({0x49, 0x00, 0x01}, {0x49, 0, 0, 0, 0, 1, 0xF0, 0xFF, 'a', 'b'});
  handset_.Answer({0x49, 0x01, 0x01}, {0x49, 0, 0, 0, 1, 0, 8, 0, 'c', 'd'});
  EXPECT_EQ(process_.ReadPrl(1, file.get()), PrlReadOutcome::kRead);
  EXPECT_EQ(FileBytes(file.get()), (Bytes{'a', 'b', 'c'}));

  handset_.Answer({0x49, 0x00, 0x00}, {0x49, 0, 0, 0, 0, 1, 8});  // shorter than its header
  EXPECT_EQ(process_.ReadPrl(0, file.get()), PrlReadOutcome::kFailed);
  // Status 4 on the first block: the NAM holds no list (an empty last block
  // would have passed for an empty one). Any other non-zero status, or 4
  // once part of a list has come, refuses the block.
  handset_.Answer({0x49, 0x00, 0x00}, {0x49, 4, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(process_.ReadPrl(0, file.get()), PrlReadOutcome::kNotStored);
  handset_.Answer({0x49, 0x00, 0x00}, {0x49, 1, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(process_.ReadPrl(0, file.get()), PrlReadOutcome::kFailed);
  handset_.Answer({0x49, 0x00, 0x00}, {0x49, 0, 0, 0, 0, 1, 8, 0, 'x'});
  handset_.Answer({0x49, 0x01, 0x00}, {0x49, 4, 0, 0, 1, 0, 8, 0, 'y'});
  EXPECT_EQ(process_.ReadPrl(0, file.get()), PrlReadOutcome::kFailed);
}

TEST_F(SeamTest, PrlWriteSendsFortyByteBlocksAndStopsAtARefusedOne) {
  Bytes list(100);
  for (std::size_t i = 0; i < list.size(); ++i) list[i] = static_cast<uint8_t>(i);
  FilePtr file(std::tmpfile(), &std::fclose);
  ASSERT_TRUE(file);
  std::fwrite(list.data(), 1, list.size(), file.get());

  // The data field as it goes out: a short block fills its start and the
  // rest still carries the previous block's bytes.
  std::array<uint8_t, 40> field{};
  const auto block = [&](uint8_t sequence, uint8_t more, uint16_t bits) {
    const std::size_t from = sequence * 40u, count = std::min<std::size_t>(40, list.size() - from);
    std::copy_n(list.begin() + static_cast<long>(from), count, field.begin());
    const std::array<uint8_t, 6> head = {0x48, sequence, more, /*nam*/ 1, static_cast<uint8_t>(bits),
                                         static_cast<uint8_t>(bits >> 8)};
    Bytes request(head.size() + field.size());
    std::copy(field.begin(), field.end(), std::copy(head.begin(), head.end(), request.begin()));
    return request;
  };
  handset_.Answer(block(0, 1, 320), {0x48, 0, 0, 0});
  handset_.Answer(block(1, 1, 320), {0x48, 0, 0, 0});
  const Bytes last = block(2, 0, 160);
  EXPECT_EQ(last[6 + 20], 60);  // byte 60 of the list, left from the second block
  handset_.Answer(last, {0x48, 0, 0, 0});
  std::rewind(file.get());
  EXPECT_TRUE(process_.WritePrl(1, file.get(), 100));

  handset_.Answer(block(0, 1, 320), {0x13, 0x48});
  std::rewind(file.get());
  EXPECT_FALSE(process_.WritePrl(1, file.get(), 100));
}

TEST_F(SeamTest, PrlWriteBlockIsTakenOnlyWithAZeroStatusWhenTheAnswerCarriesOne) {
  const Bytes list(80, 0x5A);
  FilePtr file(std::tmpfile(), &std::fclose);
  ASSERT_TRUE(file);
  std::fwrite(list.data(), 1, list.size(), file.get());
  Bytes first = {0x48, 0, 1, 0, 0x40, 0x01};
  first.insert(first.end(), list.begin(), list.begin() + 40);
  Bytes second = first;
  second[1] = 1, second[2] = 0;

  struct Case {
    const char* what;
    Bytes answer;  // to the first block
    bool written;
  };
  const Case cases[] = {
      {"status 0", {0x48, 0, 0, 0}, true},
      {"a bare echo of the code", {0x48}, true},
      {"out of sequence", {0x48, 1, 0, 0}, false},
      {"store full", {0x48, 2, 0, 0}, false},
      {"not stored", {0x48, 4}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    handset_.Answer(first, c.answer);
    if (c.written) handset_.Answer(second, {0x48, 0, 0, 0});
    std::rewind(file.get());
    EXPECT_EQ(process_.WritePrl(0, file.get(), 80), c.written);
    EXPECT_EQ(handset_.unplayed(), 0u);
  }
}

TEST_F(SeamTest, LegacyProbeTakesAnEsnAnswerToAnyOfItsThreeRequests) {
  const Bytes esn = {0x01};
  const Bytes answer = {0x01, 0x78, 0x56, 0x34, 0x12};
  const Bytes other = {0x13, 0x01};
  struct Case {
    const char* what;
    std::array<int, 3> answers;  // per request: 0 silence, 1 the ESN answer, 2 another code
    bool reached;
  };
  const Case cases[] = {
      {"the first alone", {1, 0, 0}, true},  {"the second alone", {0, 1, 0}, true},
      {"the third alone", {0, 0, 1}, true},  {"all three", {1, 1, 1}, true},
      {"silence", {0, 0, 0}, false},         {"other codes only", {2, 2, 2}, false},
  };
  std::array<uint8_t, 16> buffer{};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const int a : c.answers) {
      if (a == 0) handset_.Silence(esn);
      else handset_.Answer(esn, a == 1 ? answer : other);
    }
    EXPECT_EQ(zk::diag::LegacyEsnAnswered(handset_, buffer), c.reached);
    EXPECT_EQ(handset_.unplayed(), 0u);  // all three go out every time
  }
}

TEST_F(SeamTest, IdentityReadsNeedAnswersLongEnoughForTheirFields) {
  CDLCommon engine(handset_);
  Bytes version(55, 0);
  std::memcpy(version.data() + 39, "R310V105", 8);
  const Bytes vendorByte = {0xFA, 0, 0, 0, 42};
  handset_.Answer({0x00}, version).Answer({0xFA, 0, 0, 0, 0}, vendorByte);
  handset_.Answer({0x00}, Bytes(version.begin(), version.begin() + 46));  // one byte short of the version

  std::array<char, 16> label{};
  EXPECT_EQ(engine.ReadVersionLabel(label), 1);
  EXPECT_STREQ(label.data(), "R310V105_42");
  label.fill('#');
  EXPECT_EQ(engine.ReadVersionLabel(label), 0);
  EXPECT_EQ(label[0], '#');

  uint32_t esn = 0, value20 = 0, value21 = 0;
  char text[16] = {};
  Bytes shortText(18, 0);
  shortText[0] = 0xFA;
  handset_.Answer({0x01}, {0x01, 0x41, 0x2C, 0x3A, 0x9F}).Answer({0xFA, 0, 0, 6, 0}, shortText);
  EXPECT_EQ(engine.ReadHandsetIdentity(esn, text, value20, value21), 0);
  EXPECT_EQ(esn, 0x9F3A2C41u);
}

TEST(ImageLoad, TheCachedImageGoesOnlyOnceTheNextFileHasOpened) {
  zk::test::TempDir dir;
  const auto write = [&](const char* name, std::size_t size) {
    std::ofstream(dir.path() / name, std::ios::binary) << std::string(size, 'i');
    return (dir.path() / name).string();
  };
  ScriptedTransactor link(true);
  CDLCommon engine(link);
  const double savedScale = zk::platform::TimeScale();
  zk::platform::SetTimeScale(1.0);  // the pause before a new image is loaded is real here

  engine.m_mainPath = write("first.bin", 100);
  ASSERT_EQ(engine.LoadMainImage(), 1);
  ASSERT_EQ(engine.m_mainLen, 100u);
  const std::size_t cached = engine.m_mainBuf.size();

  // A file that does not open: the cached image stays, and no pause.
  engine.m_mainLoaded = false;
  engine.m_mainPath = (dir.path() / "absent.bin").string();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(engine.LoadMainImage(), 20);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(engine.m_mainBuf.size(), cached);
  EXPECT_EQ(engine.m_mainLen, 100u);

  // One that opens replaces it.
  zk::platform::SetTimeScale(0.001);
  engine.m_mainPath = write("second.bin", 50);
  EXPECT_EQ(engine.LoadMainImage(), 1);
  EXPECT_EQ(engine.m_mainLen, 50u);
  EXPECT_LT(engine.m_mainBuf.size(), cached);
  zk::platform::SetTimeScale(savedScale);
}

TEST(DownloadSeam, AControlStepNeedsAnAcknowledgementOrItsOwnCode) {
  ScriptedTransactor downloader(/*downloadMode=*/true);
  CDLCommon engine(downloader);
  downloader.Answer({0x21}, {0x02}).Answer({0x25}, {0x25}).Answer({0x20, 0x02}, {0x03});
  EXPECT_TRUE(engine.Initialize());
  EXPECT_TRUE(engine.Finalize());
  EXPECT_FALSE(engine.BootInitialize());  // refused
  EXPECT_EQ(downloader.timeouts(), (std::vector<int>{30000, 10000, 10000}));
}

}  // namespace
