#include "operations/emergency.h"

#include "diag/diag_link.h"
#include "flash/dl_common.h"
#include "platform/library_state.h"
#include "serial/port_discovery.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace {
using zk::ui::FailureCode;
using zk::ui::Location;
constexpr unsigned long kDownloadRate = 115200;
constexpr unsigned long kDefaultRate = 38400;
}  // namespace

int CEmergency::Run(int16_t kind, const char* /*text1*/, const char* /*text2*/, const char* imagePath, char flag,
                    int16_t portIndex, int16_t param1, int16_t param2, int16_t param3) {
  auto& engine = g_dlCommon;
  // Read every image anew. The boot image is cleared too: it lies beside
  // the main image, so one kept from an earlier run may be another
  // directory's.
  engine.m_mainLoaded = false;
  engine.m_bootLoaded = false;
  engine.m_logoLoaded = false;
  engine.SetMainImagePath(imagePath != nullptr ? imagePath : "");
  engine.m_imageFlag = flag != 0 ? 1 : 0;
  engine.m_skipOffline = true;  // the handset already runs its downloader
  engine.m_efsEraseMode = false;
  g_diagLink.m_downloadMode = 1;

  // However the run ends, the operations after it enter diagnostic mode and
  // switch the handset themselves, and talk diagnostic framing until then:
  // the handset restarted, or it never spoke the download protocol.
  struct LeaveDownload {
    ~LeaveDownload() {
      g_dlCommon.m_skipOffline = false;
      g_diagLink.m_downloadMode = 0;
      // No NV items were read by this run: the engine's pending mark would
      // make a later failure save a stale or empty image as this handset's.
      g_commonProcess.m_nvBackupPending = 0;
    }
  } leaveDownload;

  g_diagLink.SetLinkParams(kind, portIndex, param1, param2, param3);
  engine.m_isUsbPort = zk::serial::CheckHandsetUsbPort(portIndex);
  g_runState.handsetUsbPort = engine.m_isUsbPort;
  g_runState.operationKind = kind;

  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetProgressRange(100);

  // The emergency exports report only 0 and show nothing, so a failing run
  // closes its own progress window rather than leave it standing.
  const auto fail = [](int code) {
    g_commonProcess.CloseProgressWindow();
    return code;
  };
  const int loaded = engine.LoadMainImage();
  if (loaded != 1) return fail(FailureCode(Location::kBinSetBinFile, loaded));
  if (!g_diagLink.OpenPort(portIndex)) return fail(FailureCode(Location::kEmergencyPortOpen));

  g_diagLink.m_comm.SetComBaudRate(kDownloadRate);
  const auto downloaded = engine.DownloadImage();
  if (downloaded != zk::flash::DownloadResult::kDone)
    return fail(FailureCode(Location::kEmergencyDownload, downloaded));

  g_commonProcess.CloseProgressWindow();
  g_diagLink.m_comm.SetComBaudRate(kDefaultRate);
  return 1;
}
