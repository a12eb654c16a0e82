// Script download exports. The full forms take the service programming
// code, the script, the PRL file and its NAM selector (and an ERI file);
// the unattended forms the code and the script, run silent, and answer 1
// or 0.
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

int RunFull(short kind, const char* spc, const char* script, const char* prl, int nam, short port, const char* eri) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string ownSpc = OwnText(spc), ownScript = OwnText(script), ownPrl = OwnText(prl), ownEri = OwnText(eri);
  return ReportingResult(g_scriptProcess.Run(kind, ownSpc.c_str(), ownScript.c_str(), ownPrl.c_str(), nam, port,
                                             ownEri.c_str()));
}

}  // namespace

extern "C" {

ZK_API int SCRDownload_Interface(short kind, int /*value*/, const char* text1, const char* text2, const char* text3,
                                 int nam, short portMask) {
  return RunFull(kind, text1, text2, text3, nam, PortIndexFromMask(portMask), "");
}

ZK_API int SCRDownloadNew_Interface(short kind, int /*value*/, const char* text1, const char* text2,
                                    const char* text3, int nam, short portMask, const char* eri) {
  return RunFull(kind, text1, text2, text3, nam, PortIndexFromMask(portMask), eri);
}

// The link extras are fixed (0, 0, -1) whatever the host passes.
ZK_API int SCRDownloadUSB_Interface(short kind, int /*value*/, const char* text1, const char* text2,
                                    const char* text3, int nam, short port, const char* eri, short /*param1*/,
                                    short /*param2*/, short /*param3*/) {
  return RunFull(kind, text1, text2, text3, nam, port, eri);
}

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
