// The flash engine's sequences: loading the images, entering the downloader
// and burning boot loader, boot image and main image in their order.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "ui/common_process.h"
#include "flash/dl_common.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "platform/paths.h"

namespace {

using zk::flash::DownloadResult;

constexpr int kMainImageUnreadable = 20;
constexpr int kBootLoaderUnreadable = 60;
constexpr int kBootImageUnreadable = 61;

constexpr unsigned long kFastRate = 460800;
constexpr unsigned long kDiagnosticRate = 115200;

constexpr char kBootLoaderFile[] = "BOOT_LOADER.bin";
constexpr char kBootImageFile[] = "small_bootup_logo.bin";

// An image file opened for reading: a regular file of at most 2 GiB.
class ImageFile {
 public:
  explicit ImageFile(const std::string& path) {
    m_fd = ::open(zk::platform::NormalizeHostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return;
    struct stat info {};
    if (fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 0x7FFFFFFF) {
      ::close(m_fd);
      m_fd = -1;
      return;
    }
    m_size = static_cast<std::size_t>(info.st_size);
  }
  ~ImageFile() {
    if (m_fd >= 0) ::close(m_fd);
  }
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  bool opened() const { return m_fd >= 0; }

  // Reads the whole file into `buffer`, with one block of zeros past its
  // end (the burn reads whole blocks). False when it cannot be read
  // completely; `buffer` and `length` are then left alone.
  bool ReadInto(std::vector<uint8_t>& buffer, uint32_t& length) const {
    std::vector<uint8_t> contents(m_size + zk::flash::kBlockSize);
    std::size_t done = 0;
    while (done < m_size) {
      const ssize_t n = ::read(m_fd, contents.data() + done, m_size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    if (done != m_size) return false;
    buffer = std::move(contents);
    length = static_cast<uint32_t>(m_size);
    return true;
  }

 private:
  int m_fd = -1;
  std::size_t m_size = 0;
};

// A relative image path is taken from the library's directory (the engine
// looks images up there), without changing the host process's directory.
std::string FromLibraryDirectory(const std::string& path) {
  if (path.empty() || path.front() == '/' || path.front() == '\\') return path;
  const std::string directory = zk::platform::DirectoryOf(zk::platform::LibraryPathBuffer());
  return directory.empty() ? path : zk::platform::JoinHostPath(directory, path);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(zk::platform::NormalizeHostPath(path), ec);
}

// Loads one image unless it is already in memory. The new file is opened
// first: only once it has opened is an older buffer given back (with the
// pause the handset's tools have always made there) and the file read. A
// file that does not open leaves the older buffer as it was, at once.
int LoadImage(const std::string& path, bool& loaded, std::vector<uint8_t>& buffer, uint32_t& length,
              int unreadable) {
  if (loaded) return 1;
  const ImageFile file(path);
  if (!file.opened()) return unreadable;
  if (!buffer.empty()) {
    std::vector<uint8_t>().swap(buffer);
    zk::platform::SleepMs(1000);
  }
  if (!file.ReadInto(buffer, length)) return unreadable;
  loaded = true;
  return 1;
}

}  // namespace

void CDLCommon::ForgetRunState() {
  m_mainPath.clear(), m_mainName.clear(), m_bootPath.clear(), m_bootName.clear(), m_logoPath.clear(), m_logoName.clear();
  m_mainLoaded = m_bootLoaded = m_logoLoaded = false;
  m_mainLen = m_bootLen = m_logoLen = 0;
  std::vector<uint8_t>().swap(m_mainBuf);
  std::vector<uint8_t>().swap(m_bootBuf);
  std::vector<uint8_t>().swap(m_logoBuf);
  m_skipOffline = false;
  m_efsEraseMode = false;
  m_isUsbPort = 0;
  m_prlList.clear();
  m_prlName.clear();
  m_imageFlag = 0;
  m_stageReport = zk::flash::StageReport{};
}

void CDLCommon::SetMainImagePath(const std::string& path) {
  m_mainPath = path;
  m_mainName = zk::platform::FileNameOf(path);
  m_bootPath = zk::platform::JoinHostPath(zk::platform::DirectoryOf(zk::platform::LibraryPathBuffer()), kBootLoaderFile);
  m_logoPath = zk::platform::JoinHostPath(zk::platform::DirectoryOf(path), kBootImageFile);
}

int CDLCommon::LoadMainImage() {
  m_mainName = zk::platform::FileNameOf(m_mainPath);
  return LoadImage(FromLibraryDirectory(m_mainPath), m_mainLoaded, m_mainBuf, m_mainLen, kMainImageUnreadable);
}

int CDLCommon::LoadBootLoader() {
  m_bootName = zk::platform::FileNameOf(m_bootPath);
  return LoadImage(m_bootPath, m_bootLoaded, m_bootBuf, m_bootLen, kBootLoaderUnreadable);
}

int CDLCommon::LoadBootImage() {
  m_logoName = zk::platform::FileNameOf(m_logoPath);
  return LoadImage(m_logoPath, m_logoLoaded, m_logoBuf, m_logoLen, kBootImageUnreadable);
}

bool CDLCommon::EnterDownloader() {
  g_commonProcess.SetStatusText("Mode Offline-d ...");
  g_commonProcess.SetDetailText(" ");
  static_cast<void>(g_packetProcess.GoOffline());  // the switch below decides
  WaitSecondsWithElapsed(2);
  g_commonProcess.SetStatusText(m_efsEraseMode ? "EFS Erase Go ." : "Jump to Downloader...");
  if (!g_packetProcess.SwitchToDownloader()) return false;
  WaitSecondsWithElapsed(2);
  g_commonProcess.UpdateElapsedTime();
  return true;
}

DownloadResult CDLCommon::DownloadImage() {
  g_commonProcess.SetDetailText(m_mainName);
  if (!m_skipOffline) {
    zk::platform::SleepMs(1000);
    if (!EnterDownloader()) return DownloadResult::kEnterDownloaderFailed;
  }
  g_diagLink.m_downloadMode = 1;

  auto& comm = g_diagLink.m_comm;
  if (!m_isUsbPort) {
    if (comm.SetComBaudRate(kFastRate)) {
      comm.SetComBaudRate(kDiagnosticRate);
      zk::platform::SleepMs(500);
      if (!SelectFastRate(1)) return DownloadResult::kEnterDownloaderFailed;
      comm.SetComBaudRate(kFastRate);
      zk::platform::SleepMs(500);
    } else {
      comm.SetComBaudRate(kDiagnosticRate);
    }
  }
  zk::platform::SleepMs(1000);
  g_commonProcess.m_nvBackupPending = 1;

  if (FileExists(m_bootPath)) {
    if (LoadBootLoader() != 1) return DownloadResult::kBootLoaderNotLoaded;
    if (!BootInitialize()) return DownloadResult::kBootInitializeFailed;
    if (!BootErase()) return DownloadResult::kBootEraseFailed;
    if (!BurnBootLoader()) return DownloadResult::kBootBurnFailed;
  }
  if (FileExists(m_logoPath)) {
    if (LoadBootImage() != 1) return DownloadResult::kBootImageNotLoaded;
    if (!BootImageInitialize()) return DownloadResult::kBootImageInitializeFailed;
    if (!BurnBootImage()) return DownloadResult::kBootImageBurnFailed;
  }
  if (!Initialize()) return DownloadResult::kInitializeFailed;
  if (!Erase()) return DownloadResult::kEraseFailed;
  g_commonProcess.SetDetailText(m_mainName);
  if (!BurnImage()) return DownloadResult::kBurnFailed;
  if (!Finalize()) return DownloadResult::kFinalizeFailed;
  if (!DownloaderReset()) return DownloadResult::kResetFailed;

  if (!m_isUsbPort) comm.SetComBaudRate(kDiagnosticRate);
  comm.CommClose();
  WaitSecondsWithElapsed(30);
  return DownloadResult::kDone;
}

DownloadResult CDLCommon::EraseHandsetEfs() {
  if (!m_skipOffline) {
    zk::platform::SleepMs(1000);
    if (!EnterDownloader()) return DownloadResult::kEnterDownloaderFailed;
  }
  g_diagLink.m_downloadMode = 1;
  g_diagLink.m_comm.SetComBaudRate(kDiagnosticRate);
  zk::platform::SleepMs(1000);
  g_commonProcess.m_nvBackupPending = 1;
  zk::platform::SleepMs(1000);
  if (!EraseEfs()) return DownloadResult::kEfsEraseFailed;
  zk::platform::SleepMs(1000);
  if (!DownloaderReset()) return DownloadResult::kEfsResetFailed;
  g_diagLink.m_comm.CommClose();
  zk::platform::SleepMs(20000);
  g_commonProcess.SetText(1014, "");
  return DownloadResult::kDone;
}

void CDLCommon::ReportStage(const char* name) {
  if (g_passPara.m_mode == 0) return;
  m_stageReport.Enter(name, zk::platform::NowMs(),
                      {g_passPara.m_countCell, g_passPara.m_nameBuffer, g_passPara.m_timeBuffer});
}
