// Emergency download exports.
#include "boundary/export_forms.h"
#include "operations/emergency.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunEmergency(short kind, const char* text1, const char* text2, char flag, short port, short p1, short p2,
                 short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string first = OwnText(text1), image = OwnText(text2);
  return PlainResult(g_emergency.Run(kind, first.c_str(), "", image.c_str(), flag, port, p1, p2, p3));
}

}  // namespace

extern "C" {

ZK_API int Emergency_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                               short portMask) {
  (void)unused;
  return RunEmergency(kind, text, imagePath, flag, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int EmergencyUSB_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                                  short port, short param1, short param2, short param3) {
  (void)unused;
  return RunEmergency(kind, text, imagePath, flag, port, param1, param2, param3);
}

}  // extern "C"
