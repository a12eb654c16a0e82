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

int Reporting(short kind, int portIndex) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  TakePort(kind, portIndex);
  return ReportingResult(kOperationNotAvailable);
}

int Plain(short kind, int portIndex) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  TakePort(kind, portIndex);
  return PlainResult(kOperationNotAvailable);
}

int Silent(short kind, int portIndex) {
  const OperationExport call(true);
  if (call.Refused()) return 0;
  TakePort(kind, portIndex);
  return SilentCodeResult(kOperationNotAvailable);
}

}  // namespace

extern "C" {

ZK_API int Refurbish_Interface(short kind, int, const char*, const char*, short portMask) {
  return Reporting(kind, PortIndexFromMask(portMask));
}
ZK_API int RefurbishUSB_Interface(short kind, int, const char*, const char*, short port, short, short, short) {
  return Reporting(kind, port);
}
ZK_API int NVEdit_Interface(short kind, int, const char*, short portMask) {
  return Plain(kind, PortIndexFromMask(portMask));
}
ZK_API int NVEditUSB_Interface(short kind, int, const char*, short port, short, short, short) {
  return Plain(kind, port);
}
ZK_API int Refurbish_UPST_Interface(short kind, const char*, const char*, short port) {
  return Silent(kind, port);
}
ZK_API int RefurbishUSB_UPST_Interface(short kind, const char*, const char*, short port, short, short, short) {
  return Silent(kind, port);
}

}  // extern "C"
