// ERI read and write exports and the provisioning write. The first text is
// the service programming code, the second the PC path (the ERI file, or
// the provisioning directory).
#include "boundary/export_forms.h"
#include "operations/eri_download.h"
#include "operations/provision_write.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunEriWrite(short kind, const char* spc, const char* path, short port, short p1, short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownPath = OwnText(path);
  return PlainResult(g_eriDownload.Write(kind, ownSpc.c_str(), ownPath.c_str(), port, p1, p2, p3));
}

int RunEriRead(short kind, const char* spc, const char* path, short port, short p1, short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownPath = OwnText(path);
  return PlainResult(g_eriDownload.Read(kind, ownSpc.c_str(), ownPath.c_str(), port, p1, p2, p3));
}

// A failed plain or silent form releases the port and the window in its
// result form (no error dialog does it), so the host gets the port back.

// The unattended exports run silent and take the port index directly, with
// the fixed link extras.
template <class Flow>
int RunSilent(Flow flow, const char* spc, const char* path) {
  const OperationExport call(true);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownPath = OwnText(path);
  return SilentCodeResult(flow(ownSpc.c_str(), ownPath.c_str()));
}

}  // namespace

extern "C" {

ZK_API int ERIWrite_Interface(short kind, int /*value*/, const char* text1, const char* text2, short portMask) {
  return RunEriWrite(kind, text1, text2, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int ERIWriteUSB_Interface(short kind, int /*value*/, const char* text1, const char* text2, short port,
                                 short param1, short param2, short param3) {
  return RunEriWrite(kind, text1, text2, port, param1, param2, param3);
}

ZK_API int ERIRead_Interface(short kind, int /*value*/, const char* text1, const char* text2, short portMask) {
  return RunEriRead(kind, text1, text2, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int ERIReadUSB_Interface(short kind, int /*value*/, const char* text1, const char* text2, short port,
                                short param1, short param2, short param3) {
  return RunEriRead(kind, text1, text2, port, param1, param2, param3);
}

ZK_API int EriRead_UPST_Interface(short kind, const char* text1, const char* text2, short port) {
  return RunSilent(
      [&](const char* spc, const char* path) { return g_eriDownload.Read(kind, spc, path, port, 0, 0, -1, true); },
      text1, text2);
}

ZK_API int EriWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port) {
  return RunSilent(
      [&](const char* spc, const char* path) {
        return g_eriDownload.WriteUnattended(kind, spc, path, port, 0, 0, -1);
      },
      text1, text2);
}

ZK_API int ProvisionWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port) {
  return RunSilent([&](const char* spc, const char* path) { return ProvisionWrite(kind, spc, path, port, 0, 0, -1); },
                   text1, text2);
}

}  // extern "C"
