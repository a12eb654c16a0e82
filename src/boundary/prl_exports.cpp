// PRL read and write exports.
#include "boundary/export_forms.h"
#include "operations/prl_down.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunPrlWrite(short kind, const char* text, const char* spc, const char* path, int nam, short port, short p1,
                short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownText = OwnText(text), ownSpc = OwnText(spc), ownPath = OwnText(path);
  return ReportingResult(
      g_prlDown.Write(kind, ownText.c_str(), ownSpc.c_str(), ownPath.c_str(), nam, port, p1, p2, p3));
}

int RunPrlRead(short kind, const char* text, const char* spc, const char* path, int nam, short port, short p1,
               short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownText = OwnText(text), ownSpc = OwnText(spc), ownPath = OwnText(path);
  return PlainResult(g_prlDown.Read(kind, ownText.c_str(), ownSpc.c_str(), ownPath.c_str(), nam, port, p1, p2, p3));
}

}  // namespace

extern "C" {

ZK_API int PRLWrite_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                              short portMask) {
  return RunPrlWrite(kind, text, spcCode, path, nam, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int PRLWriteUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                 short port, short param1, short param2, short param3) {
  return RunPrlWrite(kind, text, spcCode, path, nam, port, param1, param2, param3);
}

ZK_API int PRLRead_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                             short portMask) {
  return RunPrlRead(kind, text, spcCode, path, nam, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int PRLReadUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                short port, short param1, short param2, short param3) {
  return RunPrlRead(kind, text, spcCode, path, nam, port, param1, param2, param3);
}

}  // extern "C"
