// The handset identity check: switch the handset into diagnostic mode, read
// its version label and identity, take it offline and reset it. A quick
// check a technician runs before servicing a handset.
#pragma once

#include <cstdint>

#include "flash/dl_common.h"

struct HandsetIdentity {
  char versionLabel[CDLCommon::kVersionLabelLength + 1] = {};
  uint32_t esn = 0;
  char vendorText[CDLCommon::kVendorTextLength + 1] = {};
  uint32_t value20 = 0;
  uint32_t value21 = 0;
};

// 1, or a cause of the failure-code tables: 2 (diagnostic mode not
// reached), 4 (version or identity not read), 36/37/38 (offline), 44/45
// (reset). The port is closed afterwards in every case.
int ReadHandsetIdentity(int16_t kind, int16_t portIndex, HandsetIdentity& identity);
