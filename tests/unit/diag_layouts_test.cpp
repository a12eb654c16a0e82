// The typed byte layouts, the request builders and the answer parsers, and
// the link's rule for judging an answer: pure functions over byte spans.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "diag/answer_verdict.h"
#include "diag/diag_answers.h"
#include "diag/diag_builders.h"

namespace {

using namespace zk::diag;
using Bytes = std::vector<uint8_t>;

Bytes Pattern(std::size_t size, uint8_t seed) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), seed);
  return bytes;
}

// An answer of `size` bytes with `code` first and `fields` written in.
Bytes Answer(uint8_t code, std::size_t size, const std::function<void(std::span<uint8_t>)>& fields = {}) {
  Bytes bytes(size, 0);
  bytes[0] = code;
  if (fields) fields(bytes);
  return bytes;
}

// A value of another width than the field's must not compile.
template <class F, class V>
concept Writable = requires(std::span<uint8_t> bytes, V value) { Write<F>(bytes, value); };
static_assert(Writable<Le16<0>, uint16_t> && Writable<Be32<0>, uint32_t> && Writable<U8<0>, uint8_t>);
static_assert(!Writable<Le16<0>, int> && !Writable<Le16<0>, uint32_t> && !Writable<Le32<0>, uint16_t>);

TEST(FieldLayout, EachWidthInItsByteOrderAtItsOffset) {
  std::array<uint8_t, 8> bytes{};
  EXPECT_TRUE(Write<Le32<1>>(bytes, uint32_t{0x01020304}));
  EXPECT_TRUE(Write<Be16<5>>(bytes, uint16_t{0xA0B0}));
  EXPECT_TRUE(Write<U8<7>>(bytes, uint8_t{9}));
  EXPECT_EQ(bytes, (std::array<uint8_t, 8>{0, 4, 3, 2, 1, 0xA0, 0xB0, 9}));
  EXPECT_EQ(Read<Le32<1>>(bytes), 0x01020304u);
  EXPECT_EQ(Read<Be32<1>>(bytes), 0x04030201u);
  EXPECT_EQ(Read<Be16<5>>(bytes), 0xA0B0);
  EXPECT_EQ(Read<Le16<5>>(bytes), 0xB0A0);
}

TEST(FieldLayout, NothingIsReadOrWrittenPastTheBytesAtHand) {
  std::array<uint8_t, 6> storage{1, 2, 3, 4, 5, 6};
  const std::span<uint8_t> first4(storage.data(), 4);
  EXPECT_FALSE(Write<Le32<1>>(first4, uint32_t{0xFFFFFFFF}));
  EXPECT_FALSE((Write<ByteRun<2, 3>>(first4, Bytes{9, 9, 9})));
  EXPECT_EQ(storage, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Read<Le16<3>>(first4), std::nullopt);
  EXPECT_EQ(Read<Le16<2>>(first4), 0x0403);
  EXPECT_FALSE((Read<ByteRun<1, 4>>(first4)));
  EXPECT_TRUE(Read<Tail<4>>(first4)->empty());
  EXPECT_FALSE(Read<Tail<5>>(first4));
  // A shorter source fills the start of a run; the rest keeps its bytes.
  EXPECT_TRUE((Write<ByteRun<0, 3>>(first4, Bytes{7})));
  EXPECT_EQ(storage, (std::array<uint8_t, 6>{7, 2, 3, 4, 5, 6}));
}

TEST(DiagBuilders, EachRequestIsItsCodeItsFieldsAndZerosAtItsExactLength) {
  const Bytes prlData = Pattern(40, 0x30);
  const Bytes nvData = Pattern(10, 0x80);
  Bytes prlWrite = {0x48, 7, 1, 2, 0x40, 0x01};
  prlWrite.insert(prlWrite.end(), prlData.begin(), prlData.end());
  Bytes nvWrite(133, 0);
  nvWrite[0] = 0x27, nvWrite[1] = 0x34, nvWrite[2] = 0x12;
  std::copy(nvData.begin(), nvData.end(), nvWrite.begin() + 3);

  using Build = std::function<RequestBytes(std::span<uint8_t>)>;
  const std::vector<std::pair<Build, Bytes>> cases = {
      {[](auto b) { return BuildBareRequest(b, request::kStatusOffline); }, {0x0C}},
      {[](auto b) { return BuildModeControl(b, kModeOffline); }, {0x29, 0x01, 0x00}},
      {[](auto b) { return BuildModeControl(b, kModeReset); }, {0x29, 0x02, 0x00}},
      {[](auto b) { return BuildKeyLock(b, kKeysLock); }, {0x21, 0x01, 0x00}},
      {[](auto b) { return BuildKeyPress(b, '5', 1); }, {0x20, 0x01, 0x35}},
      {[](auto b) { return BuildSpcRequest(b, request::kSpcSend, "12"); }, {0x41, '1', '2', 0, 0, 0, 0}},
      {[](auto b) { return BuildSpcRequest(b, request::kSpcUnlock, "1234567"); }, {0x41, '1', '2', '3', '4', '5', '6'}},
      {[](auto b) { return BuildBaudChange(b, kFastBaud); }, {0x5C, 0x01, 0x00, 0xC2, 0x01, 0x00}},
      {[](auto b) { return BuildVendorQuery(b, kVendorSubValue20, kVendorSelectorText); }, {0xFA, 0x14, 0x00, 0x06, 0x00}},
      {[](auto b) { return BuildPrlRead(b, 3, 1); }, {0x49, 0x03, 0x01}},
      {[&](auto b) { return BuildPrlWrite(b, {7, true, 2, 320, std::span<const uint8_t, 40>(prlData)}); }, prlWrite},
      {[&](auto b) { return BuildNvRequest(b, request::kNvWrite, 0x1234, nvData); }, nvWrite},
  };
  for (const auto& [build, expected] : cases) {
    std::vector<uint8_t> buffer(200, 0xEE);
    const auto request = build(buffer);
    EXPECT_EQ(Bytes(request.begin(), request.end()), expected) << "code " << int(expected[0]);
    EXPECT_EQ(buffer[expected.size()], 0xEE) << "nothing past the request";
    // A buffer one byte too short gets nothing.
    std::vector<uint8_t> tight(expected.size() - 1, 0xEE);
    EXPECT_TRUE(build(tight).empty());
    EXPECT_EQ(tight, std::vector<uint8_t>(expected.size() - 1, 0xEE));
  }
}

// Every prefix shorter than `needed` and the same answer under another code
// give nothing; the whole answer parses.
void ExpectNeeds(const Bytes& answer, std::size_t needed, const std::function<bool(AnswerBytes)>& parses) {
  for (std::size_t n = 0; n <= answer.size(); ++n)
    EXPECT_EQ(parses(std::span(answer).first(n)), n >= needed) << "code " << int(answer[0]) << ", " << n << " bytes";
  Bytes foreign = answer;
  foreign[0] ^= 0x80;
  EXPECT_FALSE(parses(foreign)) << "code " << int(answer[0]) << " under another code";
}

TEST(DiagAnswers, EachParserNeedsItsCodeAndEveryByteOfItsFields) {
  const Bytes status = Answer(0x0C, 48, [](auto b) { b[8] = 0x02, b[9] = 0x01, b[32] = 2; });
  ExpectNeeds(status, 34, [](auto a) { return ParseStatus(a).has_value(); });
  EXPECT_EQ(ParseStatus(status)->modeWord, 0x0102);
  EXPECT_TRUE(ParseStatus(status)->Usable());

  const Bytes esn = {0x01, 0x41, 0x2C, 0x3A, 0x9F};
  ExpectNeeds(esn, 5, [](auto a) { return ParseEsn(a).has_value(); });
  EXPECT_EQ(ParseEsn(esn), 0x9F3A2C41u);

  const Bytes version = Answer(0x00, 55, [](auto b) { std::copy_n("R310V105", 8, b.begin() + 39); });
  ExpectNeeds(version, 47, [](auto a) { return ParseSoftwareVersion(a).has_value(); });
  EXPECT_EQ(ParseSoftwareVersion(version), "R310V105");

  const Bytes vendorByte = {0xFA, 0, 0, 0, 42};
  ExpectNeeds(vendorByte, 5, [](auto a) { return ParseVendorByte(a).has_value(); });
  EXPECT_EQ(ParseVendorByte(vendorByte), 42);
  const Bytes vendorText = Answer(0xFA, 19, [](auto b) { std::copy_n("RB310-A1-000001", 15, b.begin() + 4); });
  ExpectNeeds(vendorText, 19, [](auto a) { return ParseVendorText(a).has_value(); });
  EXPECT_EQ(ParseVendorText(vendorText), "RB310-A1-000001");
  const Bytes vendorValue = {0xFA, 0x14, 0, 6, 0x03, 0x02, 0x01, 0x00};
  ExpectNeeds(vendorValue, 8, [](auto a) { return ParseVendorValue(a).has_value(); });
  EXPECT_EQ(ParseVendorValue(vendorValue), 0x00010203u);

  ExpectNeeds({0x41, 0x01}, 2, [](auto a) { return ParseSpcAccepted(a).has_value(); });
  EXPECT_EQ(ParseSpcAccepted(Bytes{0x41, 0x00}), false);

  const Bytes nv = Answer(0x26, 133, [](auto b) { b[1] = 0x34, b[2] = 0x12, b[3] = 0x99, b[131] = 5; });
  ExpectNeeds(nv, 133, [](auto a) { return ParseNvAnswer(a, code::kNvRead).has_value(); });
  EXPECT_EQ(ParseNvAnswer(nv, code::kNvRead)->item, 0x1234);
  EXPECT_EQ(ParseNvAnswer(nv, code::kNvRead)->data[0], 0x99);
  EXPECT_EQ(ParseNvAnswer(nv, code::kNvRead)->status, 5);
  EXPECT_FALSE(ParseNvAnswer(nv, code::kNvWrite));
}

TEST(DiagAnswers, PrlReadDataIsNeverMoreThanTheAnswerCarried) {
  // {more flag, claimed bits, data bytes sent} -> {more, data bytes taken}
  struct Case { uint8_t more; uint16_t bits; std::size_t sent; bool expectMore; std::size_t taken; };
  const Case cases[] = {
      {1, 120 * 8, 120, true, 120}, {0, 40 * 8, 120, false, 40}, {0, 0xFFF0, 10, false, 10},
      {1, 13, 10, true, 1},         {2, 800, 0, false, 0},        {0, 0, 5, false, 0},
  };
  for (const Case& c : cases) {
    Bytes answer = {0x49, 0, 0, 0, 0, c.more, static_cast<uint8_t>(c.bits), static_cast<uint8_t>(c.bits >> 8)};
    const Bytes data = Pattern(c.sent, 'a');
    answer.insert(answer.end(), data.begin(), data.end());
    const auto block = ParsePrlRead(answer);
    ASSERT_TRUE(block) << c.bits;
    EXPECT_EQ(block->more, c.expectMore) << int(c.more);
    EXPECT_EQ(block->bits, c.bits);
    EXPECT_EQ(Bytes(block->data.begin(), block->data.end()), Bytes(data.begin(), data.begin() + c.taken)) << c.bits;
  }
  ExpectNeeds({0x49, 0, 0, 0, 0, 1, 8, 0}, 8, [](auto a) { return ParsePrlRead(a).has_value(); });
}

TEST(AnswerVerdict, DiagnosticAndDownloadRules) {
  struct Case { uint8_t request; Bytes answer; bool download; Verdict verdict; };
  const Case cases[] = {
      {0x0C, {0x0C, 1}, false, Verdict::kAccepted}, {0x0C, {0x13, 0x0C}, false, Verdict::kTryAgain},
      {0x00, {}, false, Verdict::kTryAgain},        {0x05, {0x02}, true, Verdict::kAccepted},
      {0x05, {0x05, 0}, true, Verdict::kAccepted},  {0x05, {0x03, 1}, true, Verdict::kNegative},
      {0x05, {0x13}, true, Verdict::kRefused},      {0x02, {}, true, Verdict::kRefused},
  };
  for (const Case& c : cases)
    EXPECT_EQ(JudgeAnswer(c.request, c.answer, c.download), c.verdict)
        << int(c.request) << (c.download ? " download" : " diagnostic") << ", " << c.answer.size() << " bytes";
}

}  // namespace
