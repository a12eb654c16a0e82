// CDLCommon: the version label and the handset identity, read with
// diagnostic requests in buffers of their own.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>

#include "diag/diag_link.h"
#include "diag/byte_order.h"
#include "diag/diag_requests.h"
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

// A request/answer pair of its own, as each identity step uses.
struct Exchange {
  diag_req_pkt_type request{};
  diag_rsp_pkt_type response{};

  std::span<uint8_t> Request() { return request.req.bytes; }
  std::span<const uint8_t> Answer() const { return response.rsp.bytes; }

  // Sends the request as it stands; true only for an accepted answer.
  bool Send(const RequestSpec& layout) {
    request.req.bytes[0] = layout.code;
    const int result = g_diagLink.Transact(&request, &response, layout.length, layout.waitMs);
    return result != kNoAnswer && g_diagLink.m_lastOk == 1;
  }

  bool VendorQuery(uint16_t subCommand) {
    PutLe16(Request(), field::kVendorSubCommand, subCommand);
    Put8(Request(), field::kVendorSpare, 0);
    return Send(request::kVendorQuery);
  }
};

}  // namespace

int CDLCommon::ReadVersionLabel(std::span<char> out) {
  if (out.empty()) return 0;
  Exchange exchange;
  if (!exchange.Send(request::kVersion)) return 0;
  const auto* software = reinterpret_cast<const char*>(exchange.Answer().data() + answer::kVersionSoftware);
  const std::string version(software, answer::kSoftwareVersionLength);

  Put8(exchange.Request(), field::kVendorSelector, kVendorSelectorByte);
  if (!exchange.VendorQuery(kVendorSubVersion)) return 0;
  const uint8_t vendorByte = Get8(exchange.Answer(), answer::kVendorResult);

  const std::string label =
      zk::flash::FormatVersionLabel(version, vendorByte, std::min(kVersionLabelLength, out.size() - 1));
  std::memcpy(out.data(), label.data(), label.size());
  out[label.size()] = '\0';
  return 1;
}

int CDLCommon::ReadHandsetIdentity(uint32_t& esn, char (&vendorText)[kVendorTextLength + 1], uint32_t& value20,
                                   uint32_t& value21) {
  Exchange exchange;
  if (!exchange.Send(request::kEsnIdentity)) return 0;
  esn = GetLe32(exchange.Answer(), answer::kEsn);

  // The selector stays 6 for the two value queries that follow.
  Put8(exchange.Request(), field::kVendorSelector, kVendorSelectorText);
  if (!exchange.VendorQuery(kVendorSubVersion)) return 0;
  std::memcpy(vendorText, exchange.Answer().data() + answer::kVendorResult, kVendorTextLength);
  vendorText[kVendorTextLength] = '\0';

  if (!exchange.VendorQuery(kVendorSubValue20)) return 0;
  value20 = GetLe32(exchange.Answer(), answer::kVendorResult);
  if (!exchange.VendorQuery(kVendorSubValue21)) return 0;
  value21 = GetLe32(exchange.Answer(), answer::kVendorResult);
  return 1;
}
