// Exports of the file-system tool: list, get, put, backup and restore.
#include <algorithm>
#include <cstring>
#include <vector>

#include "boundary/export_forms.h"
#include "operations/efs_tool.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;
namespace op = zk::operations;

namespace {

void CopyEntry(const op::EfsToolEntry& from, ZkEfsEntry& to) {
  std::memset(&to, 0, sizeof to);
  const std::size_t length = std::min(from.path.size(), sizeof to.path - 1);
  std::memcpy(to.path, from.path.data(), length);
  to.type = from.type;
  to.size = from.size;
}

}  // namespace

extern "C" {

ZK_API int EfsList_Interface(short port, const char* directory, int recursive, ZkEfsEntry* entries, int capacity,
                             int* count) {
  if (count != nullptr) *count = 0;
  const OperationExport call(false);
  if (call.Refused()) return 0;
  std::vector<op::EfsToolEntry> listed;
  const int result = op::EfsToolList(port, OwnText(directory), recursive != 0, listed);
  if (result == 1) {
    const std::size_t room = entries != nullptr && capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
    for (std::size_t i = 0; i < std::min(room, listed.size()); ++i) CopyEntry(listed[i], entries[i]);
    if (count != nullptr) *count = static_cast<int>(listed.size());
  }
  return PlainResult(result);
}

ZK_API int EfsGet_Interface(short port, const char* handsetPath, const char* pcPath) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(op::EfsToolGet(port, OwnText(handsetPath), OwnText(pcPath)));
}

ZK_API int EfsPut_Interface(short port, const char* pcPath, const char* handsetPath) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(op::EfsToolPut(port, OwnText(pcPath), OwnText(handsetPath)));
}

ZK_API int EfsBackup_Interface(short port, const char* baseDirectory) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(op::EfsToolBackup(port, OwnText(baseDirectory)));
}

ZK_API int EfsRestore_Interface(short port, const char* path) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  return PlainResult(op::EfsToolRestore(port, OwnText(path)));
}

}  // extern "C"
