// Exports whose operations are not available in this version. Each runs the
// export's usual entry and result form with a flow result that the error
// tables do not know, so a host always sees a failure, never success. The
// error dialog names the port the export was given.
#include "boundary/export_forms.h"
#include "diag/diag_link.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

// The link takes the export's kind and port, as a real flow's would, so
// that the error dialog and report name them.
void TakePort(short kind, int portIndex) { g_diagLink.SetLinkParams(kind, portIndex, 0, 0, -1); }

int Plain(short kind, int portIndex) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  TakePort(kind, portIndex);
  return PlainResult(kOperationNotAvailable);
}

}  // namespace

extern "C" {

ZK_API int NVEdit_Interface(short kind, int, const char*, short portMask) {
  return Plain(kind, PortIndexFromMask(portMask));
}
ZK_API int NVEditUSB_Interface(short kind, int, const char*, short port, short, short, short) {
  return Plain(kind, port);
}

}  // extern "C"
