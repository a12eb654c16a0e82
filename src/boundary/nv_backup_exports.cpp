// The data backup exports (silent: NV items and file system to and from the
// PC) and the NV backup file write.
#include "boundary/export_forms.h"
#include "nv/nv_backup.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunDataBackup(bool write, short kind, const char* spc, const char* directory, short port, short p1, short p2,
                  short p3) {
  const OperationExport call(true);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownDirectory = OwnText(directory);
  const int result = write ? g_nvBackup.DataBackupWrite(kind, ownSpc.c_str(), ownDirectory.c_str(), port, p1, p2, p3)
                           : g_nvBackup.DataBackupRead(kind, ownSpc.c_str(), ownDirectory.c_str(), port, p1, p2, p3);
  return SilentCodeResult(result);
}

int RunBackupFileWrite(short kind, const char* spc, short port, short p1, short p2, short p3, bool touchResultCell) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc);
  return PlainResult(g_nvBackup.BackupFileWrite(kind, ownSpc.c_str(), port, p1, p2, p3), touchResultCell);
}

}  // namespace

extern "C" {

ZK_API int DataBackupRead_Interface(short kind, const char* spcCode, const char* directory, short port) {
  return RunDataBackup(false, kind, spcCode, directory, port, 0, 0, -1);
}
ZK_API int DataBackupReadUSB_Interface(short kind, const char* spcCode, const char* directory, short port,
                                       short param1, short param2, short param3) {
  return RunDataBackup(false, kind, spcCode, directory, port, param1, param2, param3);
}
ZK_API int DataBackupWrite_Interface(short kind, const char* spcCode, const char* directory, short port) {
  return RunDataBackup(true, kind, spcCode, directory, port, 0, 0, -1);
}
ZK_API int DataBackupWriteUSB_Interface(short kind, const char* spcCode, const char* directory, short port,
                                        short param1, short param2, short param3) {
  return RunDataBackup(true, kind, spcCode, directory, port, param1, param2, param3);
}
ZK_API int BackupFileWrite_Interface(short kind, int, const char* spcCode, short portMask) {
  return RunBackupFileWrite(kind, spcCode, PortIndexFromMask(portMask), 0, 0, -1, true);
}
ZK_API int BackupFileWriteUSB_Interface(short kind, int, const char* spcCode, short port, short param1, short param2,
                                        short param3) {
  return RunBackupFileWrite(kind, spcCode, port, param1, param2, param3, false);
}

}  // extern "C"
