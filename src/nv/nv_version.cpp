// CNVBackup: the handset's software version, asked at the end of mode entry.
#include <cstring>

#include "boundary/globals.h"
#include "diag/diag_requests.h"

int CNVBackup::ReadSoftwareVersion() {
  using namespace zk::diag;
  std::memset(&g_diagRequest, 0, sizeof(g_diagRequest));
  g_diagRequest.req.bytes[0] = request::kVersion.code;
  const int result =
      g_diagLink.Transact(&g_diagRequest, &g_diagResponse, request::kVersion.length, request::kVersion.waitMs);
  if (result == kTransactAccepted) {
    // Eight characters, not necessarily terminated in the answer.
    std::memcpy(m_softwareVersion, g_diagResponse.rsp.bytes + answer::kVersionSoftware, kSoftwareVersionLength);
    m_softwareVersion[kSoftwareVersionLength] = '\0';
  }
  return result;
}
