// Binary download exports.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "boundary/export_forms.h"
#include "operations/bin_download.h"
#include "operations/operation_run.h"
#include "zkdownload/zkdownload.h"

using namespace zk::boundary;

namespace {

int RunBinDownload(short kind, const char* text, const char* spcCode, const char* imagePath, char flag, short port,
                   short p1, short p2, short p3) {
  const OperationExport call(false);
  if (call.Refused()) return 0;
  const std::string first = OwnText(text), code = OwnText(spcCode), image = OwnText(imagePath);
  return ReportingResult(
      g_binDownload.Run(kind, first.c_str(), code.c_str(), image.c_str(), flag, port, p1, p2, p3));
}

}  // namespace

extern "C" {

ZK_API int BINDownload_Interface(short kind, const char* text, const char* spcCode, const char* imagePath, char flag,
                                 short portMask) {
  return RunBinDownload(kind, text, spcCode, imagePath, flag, PortIndexFromMask(portMask), 0, 0, -1);
}

ZK_API int BINDownloadUSB_Interface(short kind, const char* text, const char* spcCode, const char* imagePath,
                                    char flag, short port, short param1, short param2, short param3) {
  return RunBinDownload(kind, text, spcCode, imagePath, flag, port, param1, param2, param3);
}

ZK_API int GetBinDownloadRun_Interface(char* versionBefore, int versionSize, char* stages, int stagesSize) {
  CopyOut(g_operationRun.m_versionBefore, versionBefore, versionSize);
  CopyOut(g_operationRun.StageNames(), stages, stagesSize);
  return static_cast<int>(g_operationRun.m_stages.size());
}

ZK_API int GetOperationRun_Interface(char* versionBefore, int versionSize, char* stages, int stagesSize) {
  CopyOut(g_operationRun.m_versionBefore, versionBefore, versionSize);
  CopyOut(g_operationRun.StagesWithDurations(), stages, stagesSize);
  return static_cast<int>(g_operationRun.m_stages.size());
}

}  // extern "C"
