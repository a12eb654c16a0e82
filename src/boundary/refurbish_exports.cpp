// Refurbish exports. The reporting forms take a port mask or index and show
// the error dialog (or fill the result cell); the unattended forms take the
// port index, run silent and answer 1 or 0. Every form gives the link the
// extras 0, 0 and -1, whatever the host passes.
#include <string>

#include "boundary/export_forms.h"
#include "operations/refurbish.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunReporting(short kind, const char* spcCode, const char* script, short port) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string code = OwnText(spcCode), path = OwnText(script);
  return ReportingResult(g_refurbish.Run(kind, code.c_str(), path.c_str(), port));
}

int RunSilent(short kind, const char* spcCode, const char* script, short port) {
  const OperationExport call(true);
  if (call.Refused()) return 0;
  const std::string code = OwnText(spcCode), path = OwnText(script);
  return SilentCodeResult(g_refurbish.Run(kind, code.c_str(), path.c_str(), port));
}

}  // namespace

extern "C" {

ZK_API int Refurbish_Interface(short kind, int /*ignored*/, const char* text1, const char* text2, short portMask) {
  return RunReporting(kind, text1, text2, PortIndexFromMask(portMask));
}

ZK_API int RefurbishUSB_Interface(short kind, int /*ignored*/, const char* text1, const char* text2, short port,
                                  short /*param1*/, short /*param2*/, short /*param3*/) {
  return RunReporting(kind, text1, text2, port);
}

ZK_API int Refurbish_UPST_Interface(short kind, const char* text1, const char* text2, short port) {
  return RunSilent(kind, text1, text2, port);
}

ZK_API int RefurbishUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port,
                                       short /*param1*/, short /*param2*/, short /*param3*/) {
  return RunSilent(kind, text1, text2, port);
}

}  // extern "C"
