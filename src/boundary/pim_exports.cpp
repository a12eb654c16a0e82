// The phone-book exports: the RB310 does not support them, and says so.
#include "boundary/export_forms.h"
#include "ui/common_process.h"
#include "zkdownload/zkdownload.h"

namespace {

// An operation export like the others: refused while one runs, and its
// result (1: the notice was shown) is the last result a host can ask for.
int NotSupported() {
  const zk::boundary::OperationExport call(false);
  if (call.Refused()) return 0;
  g_commonProcess.ShowMessage("Not Supported!");
  return zk::boundary::PlainResult(1, false);
}

}  // namespace

extern "C" {

ZK_API int PIMRead_Interface(short, const char*, const char*, const char*) { return NotSupported(); }

ZK_API int PIMWrite_Interface(short, const char*, const char*, const char*, unsigned short, short, short, short) {
  return NotSupported();
}

}  // extern "C"
