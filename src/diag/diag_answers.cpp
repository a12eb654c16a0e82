#include "diag/diag_answers.h"

#include <algorithm>

namespace zk::diag {
namespace {

std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

bool HasCode(AnswerBytes answer, uint8_t code) { return Read<answer::Code>(answer) == code; }

std::optional<StatusAnswer> ParseStatus(AnswerBytes answer) {
  const auto modeWord = Read<answer::StatusModeWord>(answer);
  const auto phoneState = Read<answer::StatusPhoneState>(answer);
  if (!HasCode(answer, code::kStatus) || !modeWord || !phoneState) return std::nullopt;
  return StatusAnswer{*modeWord, *phoneState};
}

std::optional<uint32_t> ParseEsn(AnswerBytes answer) {
  if (!HasCode(answer, code::kEsn)) return std::nullopt;
  return Read<answer::Esn>(answer);
}

std::optional<std::string_view> ParseSoftwareVersion(AnswerBytes answer) {
  const auto version = Read<answer::VersionSoftware>(answer);
  if (!HasCode(answer, code::kVersion) || !version) return std::nullopt;
  return AsText(*version);
}

std::optional<uint8_t> ParseVendorByte(AnswerBytes answer) {
  if (!HasCode(answer, code::kVendorQuery)) return std::nullopt;
  return Read<answer::VendorByte>(answer);
}

std::optional<std::string_view> ParseVendorText(AnswerBytes answer) {
  const auto text = Read<answer::VendorText>(answer);
  if (!HasCode(answer, code::kVendorQuery) || !text) return std::nullopt;
  return AsText(*text);
}

std::optional<uint32_t> ParseVendorValue(AnswerBytes answer) {
  if (!HasCode(answer, code::kVendorQuery)) return std::nullopt;
  return Read<answer::VendorValue>(answer);
}

std::optional<bool> ParseSpcAccepted(AnswerBytes answer) {
  const auto accepted = Read<answer::SpcAccepted>(answer);
  if (!HasCode(answer, code::kSpc) || !accepted) return std::nullopt;
  return *accepted != 0;
}

bool PrlWriteTaken(AnswerBytes answer) {
  if (!HasCode(answer, code::kPrlWrite)) return false;
  const auto status = Read<answer::PrlWriteStatus>(answer);
  return !status || *status == 0;
}

std::size_t PrlDataBytes(uint16_t bits, std::size_t answerLength) {
  constexpr std::size_t start = answer::PrlReadData::offset;
  const std::size_t carried = answerLength > start ? answerLength - start : 0;
  return std::min<std::size_t>(bits / 8, carried);
}

std::optional<PrlReadAnswer> ParsePrlRead(AnswerBytes answer) {
  const auto status = Read<answer::PrlReadStatus>(answer);
  const auto more = Read<answer::PrlReadMore>(answer);
  const auto bits = Read<answer::PrlReadBits>(answer);
  const auto data = Read<answer::PrlReadData>(answer);
  if (!HasCode(answer, code::kPrlRead) || !status || !more || !bits || !data) return std::nullopt;
  return PrlReadAnswer{*status, *more == kPrlMoreBlocks, *bits, data->first(PrlDataBytes(*bits, answer.size()))};
}

std::optional<NvAnswer> ParseNvAnswer(AnswerBytes answer, uint8_t code) {
  const auto item = Read<answer::NvItem>(answer);
  const auto data = Read<answer::NvData>(answer);
  const auto status = Read<answer::NvStatus>(answer);
  if (!HasCode(answer, code) || !item || !data || !status) return std::nullopt;
  return NvAnswer{*item, *data, *status};
}

}  // namespace zk::diag
