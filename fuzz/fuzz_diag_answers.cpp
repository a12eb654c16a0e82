// Diagnostic answers as a handset could send them, through every parser of
// the diagnostic answers under each command code: no parser reads past the
// answer, each parses exactly when the answer carries its code and reaches
// its last field, and every text it gives lies inside the answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "diag/diag_answers.h"

namespace {

using namespace zk::diag;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Parsed exactly when the code matches and the answer holds `needed` bytes.
template <class Result>
void CheckParsed(const std::optional<Result>& result, AnswerBytes answer, uint8_t code, std::size_t needed) {
  Check(result.has_value() == (!answer.empty() && answer[0] == code && answer.size() >= needed));
}

void CheckInside(std::string_view text, AnswerBytes answer) {
  const auto* begin = reinterpret_cast<const char*>(answer.data());
  Check(text.data() >= begin && text.data() + text.size() <= begin + answer.size());
}

void ParseAll(AnswerBytes answer) {
  const auto status = ParseStatus(answer);
  CheckParsed(status, answer, code::kStatus, answer::StatusPhoneState::end);
  if (status) Check(status->Usable() == IsUsableState(status->modeWord, status->phoneState));

  CheckParsed(ParseEsn(answer), answer, code::kEsn, answer::Esn::end);
  const auto version = ParseSoftwareVersion(answer);
  CheckParsed(version, answer, code::kVersion, answer::VersionSoftware::end);
  if (version) {
    CheckInside(*version, answer);
    Check(version->size() == answer::VersionSoftware::size);
  }

  CheckParsed(ParseVendorByte(answer), answer, code::kVendorQuery, answer::VendorByte::end);
  CheckParsed(ParseVendorValue(answer), answer, code::kVendorQuery, answer::VendorValue::end);
  const auto text = ParseVendorText(answer);
  CheckParsed(text, answer, code::kVendorQuery, answer::VendorText::end);
  if (text) CheckInside(*text, answer);

  CheckParsed(ParseSpcAccepted(answer), answer, code::kSpc, answer::SpcAccepted::end);
  for (const uint8_t nvCode : {code::kNvRead, code::kNvWrite}) {
    const auto nv = ParseNvAnswer(answer, nvCode);
    CheckParsed(nv, answer, nvCode, answer::NvStatus::end);
    if (nv) Check(nv->data.data() == answer.data() + answer::NvData::offset);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // A block of exactly the answer's size, so a read past it is caught.
  std::vector<uint8_t> answer(data, data + size);
  ParseAll(answer);
  if (answer.empty()) return 0;
  for (const uint8_t code : {code::kStatus, code::kEsn, code::kVersion, code::kVendorQuery, code::kSpc,
                             code::kNvRead, code::kNvWrite}) {
    answer[0] = code;
    ParseAll(answer);
  }
  return 0;
}
