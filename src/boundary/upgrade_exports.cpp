// Firmware upgrade exports.
#include <string>

#include "boundary/export_forms.h"
#include "operations/upgrade_download.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunUpgrade(short kind, const char* code, const char* image, const char* script, const char* prl, int nam,
               const char* efsLocation, char flag, short port, const char* eri, short p1, short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  CUpgradeDownload::Request request;
  request.kind = kind;
  request.spcCode = OwnText(code);
  request.imagePath = OwnText(image);
  request.scriptPath = OwnText(script);
  request.prlPath = OwnText(prl);
  request.namSelector = nam;
  request.efsLocation = OwnText(efsLocation);
  request.flag = flag;
  request.portIndex = port;
  request.eriPath = OwnText(eri);
  request.param1 = p1;
  request.param2 = p2;
  request.param3 = p3;
  return ReportingResult(g_upgradeDownload.Run(request));
}

}  // namespace

extern "C" {

ZK_API int Upgrade_Interface(short kind, int, const char* text1, const char* text2, const char* text3,
                             const char* text4, int value2, const char* text5, char flag, short portMask) {
  return RunUpgrade(kind, text1, text2, text3, text4, value2, text5, flag, PortIndexFromMask(portMask), "", 0, 0, -1);
}

ZK_API int UpgradeNew_Interface(short kind, int, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short portMask,
                                const char* extraText) {
  return RunUpgrade(kind, text1, text2, text3, text4, value2, text5, flag, PortIndexFromMask(portMask), extraText,
                    -1, 0, -1);
}

ZK_API int UpgradeUSB_Interface(short kind, int, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short port,
                                const char* extraText, short param1, short param2, short param3) {
  return RunUpgrade(kind, text1, text2, text3, text4, value2, text5, flag, port, extraText, param1, param2, param3);
}

}  // extern "C"
