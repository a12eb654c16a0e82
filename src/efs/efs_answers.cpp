#include "efs/efs_answers.h"

#include <algorithm>

#include "efs/efs_requests.h"

namespace zk::efs {
namespace {

using diag::Read;

// The text up to the first zero byte, or up to the end of `bytes`.
std::string TextUntilZero(std::span<const uint8_t> bytes) {
  const auto end = std::ranges::find(bytes, uint8_t{0});
  return {bytes.begin(), end};
}

bool IsFileOperation(AnswerBytes answer) {
  return Read<field::Code>(answer) == kFileOperationCode;
}

}  // namespace

bool EchoesHeader(AnswerBytes answer, uint16_t subCommand) {
  return Read<field::Code>(answer) == kSubsystemCode && Read<field::Subsystem>(answer) == kEfsSubsystem &&
         Read<field::SubCommand>(answer) == subCommand;
}

std::optional<StatAnswer> ParseStat(AnswerBytes answer) {
  const auto error = Read<answer::StatError>(answer);
  if (!EchoesHeader(answer, sub::kStat) || !error) return std::nullopt;
  // A refused path need not carry the size.
  return StatAnswer{*error, Read<answer::StatSize>(answer).value_or(0)};
}

std::optional<OpenAnswer> ParseOpen(AnswerBytes answer) {
  const auto handle = Read<answer::OpenHandle>(answer);
  const auto error = Read<answer::OpenError>(answer);
  if (!EchoesHeader(answer, sub::kOpen) || !handle || !error) return std::nullopt;
  return OpenAnswer{*handle, *error};
}

std::optional<uint32_t> ParsePlainError(AnswerBytes answer, uint16_t subCommand) {
  if (!EchoesHeader(answer, subCommand)) return std::nullopt;
  return Read<answer::PlainError>(answer);
}

std::optional<ReadAnswer> ParseRead(AnswerBytes answer) {
  const auto count = Read<answer::ReadCount>(answer);
  const auto error = Read<answer::ReadError>(answer);
  if (!EchoesHeader(answer, sub::kRead) || !count || !error) return std::nullopt;
  const std::size_t carried = answer.size() > answer::kReadData ? answer.size() - answer::kReadData : 0;
  const std::size_t taken = std::min<std::size_t>({*count, kReadChunk, carried});
  return ReadAnswer{*error, *count, answer.subspan(std::min(answer.size(), answer::kReadData), taken)};
}

std::optional<WriteAnswer> ParseWrite(AnswerBytes answer) {
  const auto count = Read<answer::WriteCount>(answer);
  const auto error = Read<answer::WriteError>(answer);
  if (!EchoesHeader(answer, sub::kWrite) || !count || !error) return std::nullopt;
  return WriteAnswer{*error, *count};
}

std::optional<OpenAnswer> ParseOpendir(AnswerBytes answer) {
  const auto handle = Read<answer::OpendirHandle>(answer);
  const auto error = Read<answer::OpendirError>(answer);
  if (!EchoesHeader(answer, sub::kOpendir) || !handle || !error) return std::nullopt;
  return OpenAnswer{*handle, *error};
}

std::optional<ReaddirAnswer> ParseReaddir(AnswerBytes answer) {
  const auto error = Read<answer::ReaddirError>(answer);
  if (!EchoesHeader(answer, sub::kReaddir) || !error) return std::nullopt;
  ReaddirAnswer entry{*error, Read<answer::ReaddirType>(answer).value_or(0), {}};
  if (answer.size() > answer::kReaddirName) entry.name = TextUntilZero(answer.subspan(answer::kReaddirName));
  return entry;
}

std::optional<ListingAnswer> ParseListing(AnswerBytes answer) {
  const auto status = Read<answer::Status>(answer);
  if (!IsFileOperation(answer) || !status) return std::nullopt;
  ListingAnswer listing{*status, {}};
  const auto count = Read<answer::ListCount>(answer);
  const auto bytes = Read<answer::ListBytes>(answer);
  if (*status != 0 || !count || !bytes || answer.size() <= answer::kListNames) return listing;
  const std::size_t length = std::min<std::size_t>({*bytes, answer.size() - answer::kListNames, kMaxListingBytes});
  auto rest = answer.subspan(answer::kListNames, length);
  while (!rest.empty() && listing.names.size() < *count) {
    listing.names.push_back(TextUntilZero(rest));
    rest = rest.subspan(std::min(rest.size(), listing.names.back().size() + 1));
  }
  return listing;
}

std::optional<BlockAnswer> ParseBlock(AnswerBytes answer) {
  const auto status = Read<answer::Status>(answer);
  const auto length = Read<answer::BlockLength>(answer);
  if (!IsFileOperation(answer) || !status || !length) return std::nullopt;
  const std::size_t carried = answer.size() > answer::kBlockData ? answer.size() - answer::kBlockData : 0;
  const std::size_t taken = std::min<std::size_t>(*length, carried);
  return BlockAnswer{*status, answer.subspan(std::min(answer.size(), answer::kBlockData), taken)};
}

std::optional<uint8_t> ParseFileOperationStatus(AnswerBytes answer) {
  if (!IsFileOperation(answer)) return std::nullopt;
  return Read<answer::Status>(answer);
}

}  // namespace zk::efs
