// Exports whose operations are not available in this version. Each runs the
// export's usual entry and result form with a flow result that the error
// tables do not know, so a host always sees a failure, never success.
#include "boundary/export_forms.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int Reporting() {
  const OperationExport call(false);
  return call.Refused() ? 0 : ReportingResult(kOperationNotAvailable);
}

int Plain() {
  const OperationExport call(false);
  return call.Refused() ? 0 : PlainResult(kOperationNotAvailable);
}

int Silent() {
  const OperationExport call(true);
  return call.Refused() ? 0 : SilentCodeResult(kOperationNotAvailable);
}

}  // namespace

extern "C" {

ZK_API int Upgrade_Interface(short, int, const char*, const char*, const char*, const char*, int, const char*, char,
                             short) {
  return Reporting();
}
ZK_API int UpgradeNew_Interface(short, int, const char*, const char*, const char*, const char*, int, const char*,
                                char, short, const char*) {
  return Reporting();
}
ZK_API int UpgradeUSB_Interface(short, int, const char*, const char*, const char*, const char*, int, const char*,
                                char, short, const char*, short, short, short) {
  return Reporting();
}
ZK_API int SCRDownload_Interface(short, int, const char*, const char*, const char*, int, short) { return Reporting(); }
ZK_API int SCRDownloadNew_Interface(short, int, const char*, const char*, const char*, int, short, const char*) {
  return Reporting();
}
ZK_API int SCRDownloadUSB_Interface(short, int, const char*, const char*, const char*, int, short, const char*, short,
                                    short, short) {
  return Reporting();
}
ZK_API int BINDownload_Interface(short, const char*, const char*, const char*, char, short) { return Reporting(); }
ZK_API int BINDownloadUSB_Interface(short, const char*, const char*, const char*, char, short, short, short, short) {
  return Reporting();
}
ZK_API int Refurbish_Interface(short, int, const char*, const char*, short) { return Reporting(); }
ZK_API int RefurbishUSB_Interface(short, int, const char*, const char*, short, short, short, short) {
  return Reporting();
}
ZK_API int NVEdit_Interface(short, int, const char*, short) { return Plain(); }
ZK_API int NVEditUSB_Interface(short, int, const char*, short, short, short, short) { return Plain(); }
ZK_API int BackupFileWrite_Interface(short, int, const char*, short) { return Plain(); }
ZK_API int BackupFileWriteUSB_Interface(short, int, const char*, short, short, short, short) { return Plain(); }
ZK_API int DataBackupRead_Interface(short, const char*, const char*, short) { return Silent(); }
ZK_API int DataBackupReadUSB_Interface(short, const char*, const char*, short, short, short, short) {
  return Silent();
}
ZK_API int DataBackupWrite_Interface(short, const char*, const char*, short) { return Silent(); }
ZK_API int DataBackupWriteUSB_Interface(short, const char*, const char*, short, short, short, short) {
  return Silent();
}
ZK_API int Refurbish_UPST_Interface(short, const char*, const char*, short) { return Silent(); }
ZK_API int RefurbishUSB_UPST_Interface(short, const char*, const char*, short, short, short, short) {
  return Silent();
}
ZK_API int ScriptDown_UPST_Interface(short, const char*, const char*, short) { return Silent(); }
ZK_API int ScriptDownUSB_UPST_Interface(short, const char*, const char*, short, short, short, short) {
  return Silent();
}

}  // extern "C"
