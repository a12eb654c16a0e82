// fnPassPara_Interface and the model queries.
#include "operations/upgrade_download.h"
#include "platform/library_state.h"
#include "zkdownload/zkdownload.h"

namespace {
constexpr int kPrlItemNumber = 2100;
constexpr int kEriItemNumber = 2101;
}  // namespace

int fnPassPara_Interface(short mode, int* resultCell, unsigned char* versionBuffer, int /*unused4*/,
                         int /*unused5*/, int* countCell, unsigned char* nameBuffer, unsigned char* timeBuffer,
                         const char* hostText1, const char* hostText2, const char* hostText3,
                         const char* fallbackDirectory, const char* libraryPath, int requirementFlags,
                         int calibrationCheck, int requirementMask) {
  try {
    return g_passPara.Register(mode, resultCell, versionBuffer, countCell, nameBuffer, timeBuffer, hostText1,
                               hostText2, hostText3, fallbackDirectory, libraryPath, requirementFlags,
                               calibrationCheck, requirementMask);
  } catch (...) {
    // Out of memory while copying a text: nothing may cross the C boundary.
    return 1;
  }
}

const char* GetModelName_Interface(void) { return g_upgradeDownload.m_modelName.c_str(); }
const char* GetBINVersion_Interface(void) { return g_upgradeDownload.m_binVersion.c_str(); }
const char* GetModelKind_Interface(void) { return g_upgradeDownload.m_modelKind.c_str(); }
unsigned short GetSPCAddress_Interface(void) { return 0; }
int GetPRLItemNum_Interface(void) { return kPrlItemNumber; }
int GetERIItemNum_Interface(void) { return kEriItemNumber; }
