#include "operations/emergency.h"

#include "boundary/globals.h"
#include "operations/operation_state.h"
#include "serial/port_discovery.h"

namespace {
constexpr int kImageFailure = 201000;
constexpr int kPortFailure = 601000;
constexpr int kDownloadFailure = 602000;
constexpr unsigned long kDownloadRate = 115200;
constexpr unsigned long kDefaultRate = 38400;
}  // namespace

int CEmergency::Run(int16_t kind, const char* /*text1*/, const char* /*text2*/, const char* imagePath, char flag,
                    int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  auto& engine = g_dlCommon;
  engine.m_mainLoaded = false;  // read the image anew
  engine.m_bootLoaded = false;
  engine.SetMainImagePath(imagePath != nullptr ? imagePath : "");
  engine.m_imageFlag = flag != 0 ? 1 : 0;
  engine.m_skipOffline = true;  // the handset already runs its downloader
  engine.m_efsEraseMode = false;
  g_diagLink.m_downloadMode = 1;

  g_diagLink.SetLinkParams(kind, portIndex, param1, param2, param3);
  engine.m_isUsbPort = zk::serial::CheckHandsetUsbPort(portIndex);
  g_handsetUsbPort = engine.m_isUsbPort;
  g_currentOperationKind = kind;

  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);

  // The emergency exports report only 0 and show nothing, so a failing run
  // closes its own progress window rather than leave it standing.
  const auto fail = [](int code) {
    g_commonProcess.CloseProgressWindow();
    return code;
  };
  const int loaded = engine.LoadMainImage();
  if (loaded != 1) return fail(kImageFailure + loaded);
  if (!g_diagLink.OpenPort(portIndex)) return fail(kPortFailure);

  g_diagLink.m_comm.SetComBaudRate(kDownloadRate);
  const int downloaded = engine.DownloadImage();
  engine.m_skipOffline = false;
  if (downloaded != 1) return fail(kDownloadFailure + downloaded);

  g_commonProcess.CloseProgressWindow();
  g_diagLink.m_comm.SetComBaudRate(kDefaultRate);
  return 1;
}
