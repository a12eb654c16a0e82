// Script download exports. The unattended forms take the service
// programming code and the script path, run silent, and answer 1 or 0.
#include "boundary/export_forms.h"
#include "operations/script_process.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunUnattended(short kind, const char* spc, const char* script, short port) {
  const OperationExport call(true);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownScript = OwnText(script);
  return SilentCodeResult(g_scriptProcess.RunUnattended(kind, ownSpc.c_str(), ownScript.c_str(), port));
}

}  // namespace

extern "C" {

// The port stays open after the run, as the unattended form leaves it; the
// extras of the USB form are not used (the link takes 0, 0 and -1).
ZK_API int ScriptDown_UPST_Interface(short kind, const char* text1, const char* text2, short port) {
  return RunUnattended(kind, text1, text2, port);
}

ZK_API int ScriptDownUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port, short /*param1*/,
                                        short /*param2*/, short /*param3*/) {
  return RunUnattended(kind, text1, text2, port);
}

}  // extern "C"
