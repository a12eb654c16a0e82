// NV editor exports: the plain result form (1 when the operator left the
// editor with "Exit"; 0 otherwise, with nothing more shown: the editor has
// already shown its own failures).
#include <string>

#include "boundary/export_forms.h"
#include "nv/nv_edit.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int Run(short kind, const char* spcCode, int portIndex, short param1, short param2, short param3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string code = OwnText(spcCode);
  return PlainResult(g_nvEdit.Run(kind, portIndex, code.c_str(), param1, param2, param3));
}

}  // namespace

extern "C" {

ZK_API int NVEdit_Interface(short kind, int /*value*/, const char* text, short portMask) {
  return Run(kind, text, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int NVEditUSB_Interface(short kind, int /*value*/, const char* text, short port, short param1, short param2,
                               short param3) {
  return Run(kind, text, port, param1, param2, param3);
}

ZK_API int NVEditLastWrite_Interface(void) { return g_nvEdit.LastWriteResult(); }

}  // extern "C"
