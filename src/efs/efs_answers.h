// File-system answer parsers over the bytes the handset really sent. A
// subsystem answer must echo the request's 4-byte header; an answer too
// short for a field the parser needs gives nullopt. Counts and lengths the
// handset claims are never trusted past the bytes that arrived: names and
// data stop at the answer's end, a name even without its terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diag/field_layout.h"

namespace zk::efs {

using AnswerBytes = std::span<const uint8_t>;

namespace answer {
using diag::Le16;
using diag::Le32;
using diag::U8;
using StatError = Le32<4>;
using StatSize = Le32<12>;
using OpenHandle = Le32<4>;
using OpenError = Le32<8>;
using PlainError = Le32<4>;  // close, mkdir, closedir
using ReadCount = Le32<12>;
using ReadError = Le32<16>;
inline constexpr std::size_t kReadData = 20;
using WriteCount = Le32<12>;
using WriteError = Le32<16>;
using OpendirHandle = Le32<4>;
using OpendirError = Le32<8>;
using ReaddirError = Le32<12>;
using ReaddirType = Le32<16>;
inline constexpr std::size_t kReaddirName = 40;
// The older request's answers.
using Status = U8<2>;
using ListCount = Le16<3>;
using ListBytes = Le16<5>;
inline constexpr std::size_t kListNames = 7;
using BlockLength = Le16<5>;
inline constexpr std::size_t kBlockData = 11;
}  // namespace answer

inline constexpr std::size_t kMaxListingBytes = 32768;  // name data taken from one listing
inline constexpr uint32_t kEntryFile = 0;
inline constexpr uint32_t kEntryDirectory = 1;

struct StatAnswer {
  uint32_t error = 0;
  uint32_t size = 0;
};
struct OpenAnswer {
  uint32_t handle = 0;
  uint32_t error = 0;
};
struct ReadAnswer {
  uint32_t error = 0;
  uint32_t claimed = 0;  // the count the handset reports
  // The data: the claimed count, but never more than was asked for nor
  // than the answer carried.
  std::span<const uint8_t> data;
};
struct WriteAnswer {
  uint32_t error = 0;
  uint32_t written = 0;
};
struct ReaddirAnswer {
  uint32_t error = 0;
  uint32_t type = 0;
  std::string name;  // empty: end of the directory
};
struct ListingAnswer {
  uint8_t status = 0;
  std::vector<std::string> names;
};
struct BlockAnswer {
  uint8_t status = 0;
  std::span<const uint8_t> data;  // the claimed length, cut at the answer's end
};

// Subsystem answers; `subCommand` is the request's.
bool EchoesHeader(AnswerBytes answer, uint16_t subCommand);
std::optional<StatAnswer> ParseStat(AnswerBytes answer);
std::optional<OpenAnswer> ParseOpen(AnswerBytes answer);
// close (3), mkdir (9), closedir (13): the error field alone.
std::optional<uint32_t> ParsePlainError(AnswerBytes answer, uint16_t subCommand);
std::optional<ReadAnswer> ParseRead(AnswerBytes answer);
std::optional<WriteAnswer> ParseWrite(AnswerBytes answer);
std::optional<OpenAnswer> ParseOpendir(AnswerBytes answer);
std::optional<ReaddirAnswer> ParseReaddir(AnswerBytes answer);

// Older request: a listing (operations 2 and 3): no more names than the
// count claims, none past the claimed byte length, the answer's end or
// kMaxListingBytes. A listing with a non-zero status carries no names.
std::optional<ListingAnswer> ParseListing(AnswerBytes answer);
// Operation 4.
std::optional<BlockAnswer> ParseBlock(AnswerBytes answer);
// Operation 6 (and any other): the status byte.
std::optional<uint8_t> ParseFileOperationStatus(AnswerBytes answer);

}  // namespace zk::efs
