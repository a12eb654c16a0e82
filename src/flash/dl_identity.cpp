// CDLCommon: the version label and the handset identity, read with
// diagnostic requests through the engine's Transactor.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "flash/dl_common.h"
#include "flash/version_label.h"

namespace zk::flash {

std::string FormatVersionLabel(std::string_view version, uint8_t vendorByte, std::size_t maxLength) {
  version = version.substr(0, version.find('\0'));
  char number[8];
  std::snprintf(number, sizeof(number), "%02d", vendorByte);
  std::string label(version);
  label += '_';
  label += number;
  if (label.size() > maxLength) label.resize(maxLength);
  return label;
}

}  // namespace zk::flash

namespace {

using namespace zk::diag;

// Requests of the identity steps are at most this long (version, ESN and
// vendor queries).
constexpr std::size_t kLongestRequest = 5;
static_assert(request::kVendorQuery.length <= static_cast<int>(kLongestRequest));

// One accepted answer, or nothing.
std::optional<AnswerBytes> Ask(Transactor& link, std::span<const uint8_t> request, const RequestSpec& layout) {
  const Reply reply = link.Exchange(request, layout.waitMs);
  if (!reply.Accepted()) return std::nullopt;
  return reply.answer;
}

}  // namespace

int CDLCommon::ReadVersionLabel(std::span<char> out) {
  if (out.empty()) return 0;
  std::array<uint8_t, kLongestRequest> buffer{};
  const auto versionAnswer = Ask(m_link, BuildBareRequest(buffer, request::kVersion), request::kVersion);
  const auto software = versionAnswer ? ParseSoftwareVersion(*versionAnswer) : std::nullopt;
  if (!software) return 0;
  const std::string version(*software);  // the next exchange reuses the answer's bytes

  const auto vendorAnswer = Ask(m_link, BuildVendorQuery(buffer, kVendorSubVersion, kVendorSelectorByte),
                                request::kVendorQuery);
  const auto vendorByte = vendorAnswer ? ParseVendorByte(*vendorAnswer) : std::nullopt;
  if (!vendorByte) return 0;

  const std::string label =
      zk::flash::FormatVersionLabel(version, *vendorByte, std::min(kVersionLabelLength, out.size() - 1));
  std::memcpy(out.data(), label.data(), label.size());
  out[label.size()] = '\0';
  return 1;
}

int CDLCommon::ReadHandsetIdentity(uint32_t& esn, char (&vendorText)[kVendorTextLength + 1], uint32_t& value20,
                                   uint32_t& value21) {
  static_assert(kVendorTextLength == answer::VendorText::size);
  std::array<uint8_t, kLongestRequest> buffer{};
  const auto esnAnswer = Ask(m_link, BuildBareRequest(buffer, request::kEsnIdentity), request::kEsnIdentity);
  const auto esnValue = esnAnswer ? ParseEsn(*esnAnswer) : std::nullopt;
  if (!esnValue) return 0;
  esn = *esnValue;

  // The selector is 6 for the text and for the two value queries after it.
  const auto textAnswer =
      Ask(m_link, BuildVendorQuery(buffer, kVendorSubVersion, kVendorSelectorText), request::kVendorQuery);
  const auto text = textAnswer ? ParseVendorText(*textAnswer) : std::nullopt;
  if (!text) return 0;
  std::memcpy(vendorText, text->data(), text->size());
  vendorText[kVendorTextLength] = '\0';

  uint32_t* const values[] = {&value20, &value21};
  const uint16_t subCommands[] = {kVendorSubValue20, kVendorSubValue21};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const auto answer = Ask(m_link, BuildVendorQuery(buffer, subCommands[i], kVendorSelectorText), request::kVendorQuery);
    const auto value = answer ? ParseVendorValue(*answer) : std::nullopt;
    if (!value) return 0;
    *values[i] = *value;
  }
  return 1;
}
