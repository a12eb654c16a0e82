// The EFS client against a scripted handset: the exact bytes and waits of
// each request, the parsers' distrust of claimed counts, the chunking of the
// copies, and the bounds on handsets that make no progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "efs/efs_answers.h"
#include "efs/efs_basic_function.h"
#include "support/scripted_transactor.h"
#include "support/temp_home.h"

namespace {

using zk::test::ScriptedTransactor;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void Le32(Bytes& bytes, std::size_t offset, uint32_t value) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
Bytes Header(uint16_t sub) { return {0x4B, 0x13, static_cast<uint8_t>(sub), static_cast<uint8_t>(sub >> 8)}; }
Bytes WithText(Bytes bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}
// A subsystem request or answer: header, then 32-bit fields from offset 4.
Bytes Sub(uint16_t sub, std::vector<uint32_t> fields = {}) {
  Bytes bytes = Header(sub);
  for (const uint32_t field : fields) Le32(bytes, bytes.size(), field);
  return bytes;
}
Bytes StatReq(const std::string& path) { return WithText(Header(15), path); }
Bytes StatAns(uint32_t error, uint32_t size) { return Sub(15, {error, 0, size}); }
Bytes OpenReq(const std::string& path, uint32_t flags, uint32_t mode) { return WithText(Sub(2, {flags, mode}), path); }
Bytes ReadReq(uint32_t offset) { return Sub(4, {7, 512, offset}); }
Bytes ReadAns(std::size_t count, uint32_t error = 0) {
  Bytes answer = Sub(4, {7, 512, static_cast<uint32_t>(count), error});
  for (std::size_t i = 0; i < count; ++i) answer.push_back(static_cast<uint8_t>(i));
  return answer;
}
Bytes WriteReq(uint32_t offset, std::size_t count) {
  Bytes request = Sub(5, {7, offset});
  request.resize(request.size() + count, 0xAB);
  return request;
}
Bytes WriteAns(uint32_t written, uint32_t error = 0) { return Sub(5, {7, 0, written, error}); }
Bytes Listing(uint8_t op, uint8_t status, uint16_t count, uint16_t length, const Bytes& names) {
  Bytes answer(7 + names.size());
  const uint8_t head[] = {0x59, op, status, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                          static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
  std::copy(std::begin(head), std::end(head), answer.begin());
  std::copy(names.begin(), names.end(), answer.begin() + 7);
  return answer;
}
Bytes FileOp(uint8_t op, const std::string& name) {
  return WithText({0x59, op, static_cast<uint8_t>(name.size() + 1)}, name);
}

class EfsClientTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(handset_.unplayed(), 0u) << "steps the code never reached"; }
  ScriptedTransactor handset_;
  CEfsBasicFunction efs_{handset_};
  zk::test::TempDir dir_{"zk-efs"};
};

TEST_F(EfsClientTest, EachPrimitiveSendsItsExactRequestAndWait) {
  uint32_t value = 0;
  std::vector<uint8_t> data;
  std::string name;
  const Bytes mkdir = WithText({0x4B, 0x13, 9, 0, 0xFF, 0x01}, "/eri");
  struct Case {
    const char* what;
    Bytes request;
    Bytes answer;
    int wait;
    std::function<int(CEfsBasicFunction&)> call;
  };
  const std::vector<Case> cases = {
      {"stat", StatReq("/eri"), StatAns(0, 9), 3000, [&](CEfsBasicFunction& efs) { return efs.efs_stat("/eri", &value); }},
      {"open", OpenReq("/a", 65, 1), Sub(2, {7, 0}), 3000, [&](CEfsBasicFunction& efs) { return efs.efs_open("/a", 65, 1, &value); }},
      {"close", Sub(3, {7}), Sub(3, {0}), 3000, [&](CEfsBasicFunction& efs) { return efs.efs_close(7); }},
      {"read", ReadReq(1024), ReadAns(3), 15000, [&](CEfsBasicFunction& efs) { return efs.efs_read(7, 1024, data); }},
      {"write", WriteReq(2048, 3), WriteAns(3), 15000,
       [&](CEfsBasicFunction& efs) { return efs.efs_write(7, 2048, Bytes(3, 0xAB), &value); }},
      {"mkdir", mkdir, Sub(9, {0}), 3000, [&](CEfsBasicFunction& efs) { return efs.efs_mkdir("/eri", 0777); }},
      {"opendir", WithText(Header(11), "/brew"), Sub(11, {5, 0}), 3000,
       [&](CEfsBasicFunction& efs) { return efs.efs_opendir("/brew", &value); }},
      {"readdir", Sub(12, {5, 1}), WithText(Sub(12, {5, 1, 0, 0, 0, 0, 0, 0, 0}), "x"), 3000,
       [&](CEfsBasicFunction& efs) { return efs.efs_readdir(5, 1, &value, &name); }},
      {"closedir", Sub(13, {5}), Sub(13, {0}), 3000, [&](CEfsBasicFunction& efs) { return efs.efs_closedir(5); }},
      {"delete", FileOp(6, "eri/a.bin"), {0x59, 6, 0}, 10000, [&](CEfsBasicFunction& efs) { return efs.DeletePhoneFile("eri/a.bin"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedTransactor handset;
    handset.Answer(c.request, c.answer);
    CEfsBasicFunction efs(handset);
    EXPECT_EQ(c.call(efs), 0);
    ASSERT_EQ(handset.timeouts().size(), 1u);
    EXPECT_EQ(handset.timeouts()[0], c.wait);
  }
  // A path too long for its field is never sent.
  EXPECT_EQ(efs_.efs_stat(std::string(128, 'a'), nullptr), CEfsBasicFunction::kBadRequest);
  EXPECT_EQ(handset_.exchanges(), 0u);
}

TEST_F(EfsClientTest, ParsersNeverReadPastWhatArrived) {
  // Listings: count and byte length larger than the names sent; a last name
  // without its terminating zero stops at the answer's end.
  const Bytes names = {'e', 'r', 'i', 0, 'b', 'r'};
  auto listing = zk::efs::ParseListing(Listing(2, 0, 9, 400, names));
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->names, (std::vector<std::string>{"eri", "br"}));
  listing = zk::efs::ParseListing(Listing(2, 0, 1, 400, names));  // the count is honoured too
  EXPECT_EQ(listing->names, (std::vector<std::string>{"eri"}));
  listing = zk::efs::ParseListing(Listing(2, 0, 5, 2, names));  // and the byte length
  EXPECT_EQ(listing->names, (std::vector<std::string>{"er"}));
  EXPECT_TRUE(zk::efs::ParseListing(Listing(2, 2, 5, 6, names))->names.empty());
  EXPECT_FALSE(zk::efs::ParseListing(Bytes{0x59, 2}));

  // A read claiming 512 bytes that carried 3.
  Bytes read = ReadAns(3);
  Le32(read, 12, 512);
  EXPECT_EQ(zk::efs::ParseRead(read)->data.size(), 3u);
  EXPECT_FALSE(zk::efs::ParseRead(Sub(5, {0, 0, 0, 0})));  // another sub-command
  // A readdir name cut at the answer's end.
  Bytes entry = Sub(12, {5, 1, 0, 0, 0, 0, 0, 0, 0});
  entry.insert(entry.end(), {'a', 'b'});
  EXPECT_EQ(zk::efs::ParseReaddir(entry)->name, "ab");
  // Operation 4: length larger than the data.
  const Bytes block = {0x59, 4, 0, 0, 0, 200, 0, 0, 0, 0, 0, 'x', 'y'};
  EXPECT_EQ(zk::efs::ParseBlock(block)->data.size(), 2u);
}

TEST_F(EfsClientTest, GetFileReadsInChunksAndReplacesTheTargetOnlyWhenComplete) {
  const fs::path target = dir_.path() / "a.bin";
  std::ofstream(target) << "old";
  handset_.Answer(StatReq("/a.bin"), StatAns(0, 1300)).Answer(OpenReq("/a.bin", 0, 0), Sub(2, {7, 0}));
  handset_.Answer(ReadReq(0), ReadAns(512)).Answer(ReadReq(512), ReadAns(512)).Answer(ReadReq(1024), ReadAns(276));
  handset_.Answer(Sub(3, {7}), Sub(3, {0}));
  EXPECT_EQ(efs_.GetFileFromPhone("/a.bin", target.string()), 0);
  EXPECT_EQ(fs::file_size(target), 1300u);

  // A read the handset refuses halfway: the target keeps its contents and
  // what arrived stays beside it.
  handset_.Answer(StatReq("/a.bin"), StatAns(0, 1300)).Answer(OpenReq("/a.bin", 0, 0), Sub(2, {7, 0}));
  handset_.Answer(ReadReq(0), ReadAns(512)).Answer(ReadReq(512), ReadAns(0, 5)).Answer(Sub(3, {7}), Sub(3, {0}));
  EXPECT_EQ(efs_.GetFileFromPhone("/a.bin", target.string()), 5);
  EXPECT_EQ(fs::file_size(target), 1300u);
  EXPECT_EQ(fs::file_size(target.string() + ".partial"), 512u);
}

TEST_F(EfsClientTest, PutFileWritesAtMost2048BytesAndFollowsTheReportedCount) {
  const fs::path source = dir_.path() / "p.bin";
  std::ofstream(source, std::ios::binary) << std::string(5000, '\xAB');
  handset_.Answer(OpenReq("/p.bin", 0x241, 1), Sub(2, {7, 0}));
  handset_.Answer(WriteReq(0, 2048), WriteAns(2048)).Answer(WriteReq(2048, 2048), WriteAns(2048));
  // The handset takes 900 of the last 904: the rest follows at its offset.
  handset_.Answer(WriteReq(4096, 904), WriteAns(900)).Answer(WriteReq(4996, 4), WriteAns(4));
  handset_.Answer(Sub(3, {7}), Sub(3, {0}));
  EXPECT_EQ(efs_.PutFileToPhone(source.string(), "/p.bin"), 0);
  EXPECT_EQ(efs_.PutFileToPhone((dir_.path() / "none").string(), "/p.bin"), CEfsBasicFunction::kHostCreate);
}

TEST_F(EfsClientTest, ZeroByteAnswersEndTheCopiesAfterTheBound) {
  handset_.Answer(StatReq("/z"), StatAns(0, 10)).Answer(OpenReq("/z", 0, 0), Sub(2, {7, 0}));
  for (int i = 0; i < CEfsBasicFunction::kMaxZeroAnswers; ++i) handset_.Answer(ReadReq(0), ReadAns(0));
  handset_.Answer(Sub(3, {7}), Sub(3, {0}));
  EXPECT_EQ(efs_.GetFileFromPhone("/z", (dir_.path() / "z").string()), CEfsBasicFunction::kStalled);
  EXPECT_FALSE(fs::exists(dir_.path() / "z"));

  uint32_t written = 99;
  for (int i = 0; i < CEfsBasicFunction::kMaxZeroAnswers; ++i) handset_.Answer(WriteReq(0, 1), WriteAns(0));
  EXPECT_EQ(efs_.efs_write(7, 0, Bytes(1, 0xAB), &written), CEfsBasicFunction::kStalled);
  EXPECT_EQ(written, 0u);
}

TEST_F(EfsClientTest, MakePhoneDirsStatsEachPrefixAndMakesOnlyMissingOnes) {
  handset_.Answer(StatReq("/eri"), StatAns(0, 0));
  EXPECT_EQ(efs_.MakePhoneDirs("/eri"), 0);
  EXPECT_EQ(handset_.exchanges(), 1u);

  const auto mkdir = [](const std::string& path) { return WithText({0x4B, 0x13, 9, 0, 0xFF, 0x01}, path); };
  handset_.Answer(StatReq("/a"), StatAns(0, 0));
  handset_.Answer(StatReq("/a/b"), StatAns(2, 0)).Answer(mkdir("/a/b"), Sub(9, {0}));
  handset_.Answer(StatReq("/a/b/c"), StatAns(2, 0)).Answer(mkdir("/a/b/c"), Sub(9, {0}));
  EXPECT_EQ(efs_.MakePhoneDirs("/a/b/c"), 0);
  handset_.Answer(StatReq("/x"), StatAns(13, 0));
  EXPECT_EQ(efs_.MakePhoneDirs("/x/y"), 13);
}

TEST_F(EfsClientTest, ListPhoneFilesAnswersItsTextsAndClosesTheDirectory) {
  const auto entry = [](uint32_t seq, uint32_t type, const std::string& name) {
    return WithText(Sub(12, {5, seq, 0, type, 0, 0, 0, 0, 0}), name);
  };
  const auto open = [&] { handset_.Answer(WithText(Header(11), "/d"), Sub(11, {5, 0})); };
  open();
  handset_.Answer(Sub(12, {5, 1}), entry(1, 1, "sub")).Answer(Sub(12, {5, 2}), entry(2, 0, ""));
  handset_.Answer(Sub(13, {5}), Sub(13, {0}));
  EXPECT_EQ(efs_.ListPhoneFiles("/d", '|'), "NOT_EXIST_FILES");

  open();
  handset_.Answer(Sub(12, {5, 1}), entry(1, 0, "a")).Answer(Sub(12, {5, 2}), entry(2, 1, "s"));
  handset_.Answer(Sub(12, {5, 3}), entry(3, 0, "b")).Answer(Sub(12, {5, 4}), entry(4, 0, ""));
  handset_.Answer(Sub(13, {5}), Sub(13, {0}));
  EXPECT_EQ(efs_.ListPhoneFiles("/d", '|'), "a|b");

  for (int i = 0; i < 12; ++i) handset_.Answer(WithText(Header(11), "/d"), Sub(11, {0, 2}));
  EXPECT_EQ(efs_.ListPhoneFiles("/d", '|'), "NOT_EXIST_DIR");
}

TEST_F(EfsClientTest, DeletePhoneDirFilesAcceptsStatusSixOnly) {
  const Bytes names = {'d', '/', 'a', 0, 'd', '/', 'b', 0};
  for (const auto& [status, expected] : {std::pair<uint8_t, int>{6, 1}, {5, 0}}) {
    SCOPED_TRACE(static_cast<int>(status));
    handset_.Answer(FileOp(3, "d"), Listing(3, 0, 2, 8, names));
    handset_.Answer(FileOp(6, "d/a"), {0x59, 6, 0}).Answer(FileOp(6, "d/b"), {0x59, 6, status});
    EXPECT_EQ(efs_.DeletePhoneDirFiles("d"), expected);
  }
  handset_.Silence(FileOp(3, "d"));
  EXPECT_EQ(efs_.DeletePhoneDirFiles("d"), 0);
}

}  // namespace
