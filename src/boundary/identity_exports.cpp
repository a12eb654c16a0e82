// The handset identity check as an export.
#include <cstring>

#include "boundary/export_forms.h"
#include "operations/handset_identity.h"
#include "zkdownload/zkdownload.h"

extern "C" {

ZK_API int ReadHandsetIdentity_Interface(short kind, short port, char* versionLabel, unsigned int* esn,
                                         char* vendorText, unsigned int* value20, unsigned int* value21) {
  const zk::boundary::OperationExport call(false);
  if (call.Refused()) return 0;
  HandsetIdentity identity;
  const int result = ::ReadHandsetIdentity(kind, port, identity);
  if (result == 1) {
    if (versionLabel != nullptr) std::memcpy(versionLabel, identity.versionLabel, sizeof(identity.versionLabel));
    if (esn != nullptr) *esn = identity.esn;
    if (vendorText != nullptr) std::memcpy(vendorText, identity.vendorText, sizeof(identity.vendorText));
    if (value20 != nullptr) *value20 = identity.value20;
    if (value21 != nullptr) *value21 = identity.value21;
  }
  return zk::boundary::PlainResult(result);
}

}  // extern "C"
