// CDLCommon: the flash engine: loads image files and burns them through the downloader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "diag/transactor.h"
#include "flash/download_packets.h"
#include "flash/flash_results.h"
#include "flash/stage_report.h"

class CDLCommon {
 public:
  static constexpr std::size_t kVersionLabelLength = 15;
  static constexpr std::size_t kVendorTextLength = 15;

  CDLCommon();  // talks through g_diagLink
  // Talks through `link` (a scripted handset in unit tests).
  explicit CDLCommon(zk::diag::Transactor& link) : m_link(link) {}
  CDLCommon(const CDLCommon&) = delete;
  CDLCommon& operator=(const CDLCommon&) = delete;

  // The handset's version label "<software version>_<vendor byte, %02d>",
  // at most 15 characters (and never more than `out` holds with its
  // terminator), always zero-terminated. 1, or 0 when a request failed or
  // its answer was too short to carry the version or the byte (`out` is then
  // left as it was).
  int ReadVersionLabel(std::span<char> out);

  // ESN, the 15-character vendor text (zero-terminated here) and the two
  // vendor values (sub-commands 20 and 21). 1, or 0 when a request failed or
  // an answer was too short to carry its field.
  int ReadHandsetIdentity(uint32_t& esn, char (&vendorText)[kVendorTextLength + 1], uint32_t& value20,
                          uint32_t& value21);

  // --- image files --------------------------------------------------------
  int LoadMainImage();   // 1, or 20 when the main image cannot be read
  int LoadBootLoader();  // 1, or 60
  int LoadBootImage();   // 1, or 61

  // --- download sequences -------------------------------------------------
  bool EnterDownloader();
  // Burns the boot loader and boot image when present, then the main image.
  [[nodiscard]] zk::flash::DownloadResult DownloadImage();
  // kDone, kEnterDownloaderFailed, kEfsResetFailed or kEfsEraseFailed.
  [[nodiscard]] zk::flash::DownloadResult EraseHandsetEfs();

  // --- download protocol steps (each true on success) -----------------------
  bool BootInitialize();
  bool BootErase();
  bool BurnBootLoader();
  bool BootImageInitialize();
  bool BurnBootImage();
  bool Initialize();
  bool Erase();
  bool EraseEfs();
  bool BurnImage();
  bool Finalize();
  bool SelectFastRate(uint8_t selector);
  bool DownloaderReset();

  // --- PRL file steps ------------------------------------------------------
  // Sends the file at `path` to the NAMs the selector names (0 first, 1
  // second, 2 both): kDone, kFileUnreadable or kWriteFailed.
  [[nodiscard]] zk::flash::PrlFileResult WritePrlList(int namSelector, const std::string& path);
  // Writes the list of `nam` into a new file at `path`: kDone,
  // kFileNotCreated, kReadFailed or kNotStored.
  [[nodiscard]] zk::flash::PrlFileResult ReadPrlToFile(int nam, const std::string& path);

  // --- ERI file steps --------------------------------------------------------
  // Copies the handset's /eri/eri.bin to `localPath`. The file arrives beside
  // the target and replaces it only when whole: a failed read leaves an
  // existing file as it was. kDone or kReadFailed.
  [[nodiscard]] zk::flash::EriFileResult ReadEriFile(const std::string& localPath);
  // Creates /eri on the handset and writes `localPath` to /eri/eri.bin, with
  // the progress texts of the step. kDone or kWriteFailed.
  [[nodiscard]] zk::flash::EriFileResult WriteEriFile(const std::string& localPath);

  // Forgets every image, name and mode of the last operation.
  void ForgetRunState();

  // Where the images come from: the operation sets the main image path; the
  // boot loader lies beside the library, the boot image beside the main image.
  void SetMainImagePath(const std::string& path);

  std::string m_mainPath, m_mainName;
  std::string m_bootPath, m_bootName;
  std::string m_logoPath, m_logoName;
  bool m_mainLoaded = false, m_bootLoaded = false, m_logoLoaded = false;
  uint32_t m_mainLen = 0, m_bootLen = 0, m_logoLen = 0;
  std::vector<uint8_t> m_mainBuf, m_bootBuf, m_logoBuf;
  bool m_skipOffline = false;   // emergency download: the handset already runs its downloader
  bool m_efsEraseMode = false;  // refurbish: EnterDownloader shows the erase texts
  int32_t m_isUsbPort = 0;      // the port is the handset's USB modem port: rates stay alone
  std::vector<std::string> m_prlList;  // one entry per NAM; " " skips that NAM
  std::string m_prlName;
  int32_t m_imageFlag = 0;      // the operation's image flag, kept with the image path
  zk::flash::StageReport m_stageReport;  // the staged flows' report to the host (lives with the library)
  // Enters stage `name` in the report and copies it to the buffers the host
  // registered; nothing without registered buffers.
  void ReportStage(const char* name);

 private:
  bool RunControlStep(const zk::flash::DownloadPacketSpec& layout, uint8_t selector = 0);
  bool StepSucceeded(const zk::diag::Reply& reply);
  void FailStep();
  bool Burn(std::span<const uint8_t> image, const char* statusText, int initialWaitSeconds, bool stepBar);
  void WaitSecondsWithElapsed(int seconds);

  zk::diag::Transactor& m_link;
};

extern CDLCommon g_dlCommon;
