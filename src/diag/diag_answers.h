// Answer parsers: each reads one answer layout of diag_requests.h from the
// bytes the handset really sent. An answer with another command code, or too
// short to hold a field the parser needs, gives nullopt; no parser reads a
// byte past the answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "diag/diag_requests.h"

namespace zk::diag {

using AnswerBytes = std::span<const uint8_t>;

// True when the answer carries `code` as its command code.
bool HasCode(AnswerBytes answer, uint8_t code);

struct StatusAnswer {
  uint16_t modeWord = 0;
  uint16_t phoneState = 0;
  bool Usable() const { return IsUsableState(modeWord, phoneState); }
};
std::optional<StatusAnswer> ParseStatus(AnswerBytes answer);

std::optional<uint32_t> ParseEsn(AnswerBytes answer);

// The 8-character software version of a version answer, as sent (it may
// hold zero bytes); the view points into `answer`.
std::optional<std::string_view> ParseSoftwareVersion(AnswerBytes answer);

// Vendor query answers: one byte (sub-command 0, selector 0), the
// 15-character text (sub-command 0, selector 6; a view into `answer`) or a
// 32-bit value (sub-commands 20 and 21).
std::optional<uint8_t> ParseVendorByte(AnswerBytes answer);
std::optional<std::string_view> ParseVendorText(AnswerBytes answer);
std::optional<uint32_t> ParseVendorValue(AnswerBytes answer);

// Whether the handset accepted the service programming code.
std::optional<bool> ParseSpcAccepted(AnswerBytes answer);

// Whether the handset took a PRL write block: the answer carries the write's
// code and, when it is long enough to hold one, a zero status byte (a full
// store, a block out of sequence or one it could not keep answer non-zero).
bool PrlWriteTaken(AnswerBytes answer);

struct PrlReadAnswer {
  uint8_t status = 0;  // kPrlReadOk, else the block carries no list
  bool more = false;   // another block follows
  uint16_t bits = 0;   // the bit count the handset claims
  // The block's data: bits / 8 bytes, but never more than the answer carried.
  std::span<const uint8_t> data;
};
std::optional<PrlReadAnswer> ParsePrlRead(AnswerBytes answer);

// Bytes of PRL data a read answer of `answerLength` bytes carries for a
// claimed `bits`: whole bytes only, never past the answer's end.
std::size_t PrlDataBytes(uint16_t bits, std::size_t answerLength);

struct NvAnswer {
  uint16_t item = 0;
  std::span<const uint8_t, answer::NvData::size> data;
  uint16_t status = 0;
};
// `code`: kNvRead or kNvWrite, the request the answer belongs to.
std::optional<NvAnswer> ParseNvAnswer(AnswerBytes answer, uint8_t code);

}  // namespace zk::diag
