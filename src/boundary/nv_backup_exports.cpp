// The data backup exports (silent: NV items and file system to and from the
// PC) and the NV backup file write.
#include <algorithm>
#include <span>
#include <vector>

#include "boundary/export_forms.h"
#include "nv/nv_backup.h"
#include "nv/nv_tool.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

constexpr int kBadArgument = 117042;  // no item number, or a buffer that is not there

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

ZK_API int NvBackupToFile_Interface(short port, const char* spcCode, const char* path) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(zk::nv::ToolBackup(port, OwnText(spcCode).c_str(), OwnText(path)));
}

ZK_API int NvRestoreFromFile_Interface(short port, const char* spcCode, const char* path) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(zk::nv::ToolRestore(port, OwnText(spcCode).c_str(), OwnText(path)));
}

ZK_API int NvReadItem_Interface(short port, const char* spcCode, int item, int nam, unsigned char* value, int size,
                                int* length, int* status) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  if (item < 0 || item > 0xFFFF || size < 0 || (value == nullptr && size > 0)) return PlainResult(kBadArgument);
  std::vector<uint8_t> read;
  const int result = zk::nv::ToolReadItem(port, OwnText(spcCode).c_str(), static_cast<uint16_t>(item), nam, read, status);
  if (result == 1) {
    const std::size_t copied = std::min(read.size(), static_cast<std::size_t>(size));
    std::copy_n(read.begin(), copied, value);
    if (length != nullptr) *length = static_cast<int>(read.size());
  }
  return PlainResult(result);
}

ZK_API int NvWriteItem_Interface(short port, const char* spcCode, int item, int nam, const unsigned char* value,
                                 int size, int* status) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  if (item < 0 || item > 0xFFFF || size < 0 || (value == nullptr && size > 0)) return PlainResult(kBadArgument);
  const std::span<const uint8_t> bytes(value, static_cast<std::size_t>(size));
  return PlainResult(zk::nv::ToolWriteItem(port, OwnText(spcCode).c_str(), static_cast<uint16_t>(item), nam, bytes, status));
}

}  // extern "C"
