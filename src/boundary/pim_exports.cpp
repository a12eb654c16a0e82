// The phone-book exports: the RB310 does not support them, and says so.
#include "boundary/export_forms.h"
#include "ui/common_process.h"
#include "zkdownload/zkdownload.h"

namespace {

int NotSupported() {
  zk::boundary::BeginPlainExport();
  g_commonProcess.ShowMessage("Not Supported!");
  return 1;
}

}  // namespace

extern "C" {

ZK_API int PIMRead_Interface(short, const char*, const char*, const char*) { return NotSupported(); }

ZK_API int PIMWrite_Interface(short, const char*, const char*, const char*, unsigned short, short, short, short) {
  return NotSupported();
}

}  // extern "C"
