// The download protocol steps of the flash engine. Every step is one exchange
// through the engine's Transactor in download mode; a failing step leaves download mode
// and puts the host port back to 38400 bit/s so that later diagnostic
// requests use diagnostic framing at the default rate.
#include <cstdio>
#include <vector>

#include "diag/diag_link.h"
#include "ui/common_process.h"
#include "flash/dl_common.h"
#include "platform/clock.h"
#include "platform/library_state.h"

namespace {

using zk::flash::DownloadPacketSpec;
namespace packet = zk::flash::packet;

constexpr unsigned long kRateAfterFailure = 38400;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", value);
  return text;
}

// The downloader's name for the request with this code, as the failure note
// words it.
const char* RequestName(uint8_t code) {
  switch (code) {
    case packet::kWriteBlock.code: return "write block";
    case packet::kErase.code: return "erase";
    case packet::kReset.code: return "reset";
    case packet::kBootInitialize.code: return "boot initialize";
    case packet::kInitialize.code: return "initialize";
    case packet::kBootErase.code: return "boot erase";
    case packet::kFinalize.code: return "finalize";
    case packet::kEraseEfs.code: return "file system erase";
    case packet::kBootImageInitialize.code: return "boot image initialize";
    case packet::kSelectFastRate.code: return "rate change";
  }
  return "unknown";
}

// A step whose request met only silence says so in the failure note.
void NoteSilence(const zk::diag::Reply& reply, uint8_t code) {
  if (reply.result != kNoAnswer || reply.answered) return;
  g_runState.failureNote = std::string("the handset did not answer the downloader's ") + RequestName(code) +
                           " request (" + std::to_string(CDiagLink::kDownloadModeTries) + " tries)";
}

}  // namespace

CDLCommon::CDLCommon() : m_link(g_diagLink) {}

void CDLCommon::FailStep() {
  g_diagLink.m_downloadMode = 0;
  g_diagLink.m_comm.SetComBaudRate(kRateAfterFailure);
}

bool CDLCommon::StepSucceeded(const zk::diag::Reply& reply) {
  if (!reply.Accepted()) {
    FailStep();
    return false;
  }
  g_commonProcess.UpdateElapsedTime();
  return true;
}

bool CDLCommon::RunControlStep(const DownloadPacketSpec& layout, uint8_t selector) {
  std::vector<uint8_t> buffer(static_cast<std::size_t>(layout.length));
  const auto reply = m_link.Exchange(zk::flash::BuildControlPacket(buffer, layout, selector), layout.waitMs);
  NoteSilence(reply, layout.code);
  return StepSucceeded(reply);
}

bool CDLCommon::BootInitialize() {
  g_commonProcess.SetStatusText("BOOT Initialize ...");
  return RunControlStep(packet::kBootInitialize);
}

bool CDLCommon::BootErase() {
  g_commonProcess.SetStatusText("BOOT Erasing ...");
  g_commonProcess.SetDetailText(m_bootName);
  return RunControlStep(packet::kBootErase);
}

bool CDLCommon::BootImageInitialize() {
  g_commonProcess.SetStatusText("BOOTImage Initialize ...");
  g_commonProcess.SetDetailText(m_logoName);
  return RunControlStep(packet::kBootImageInitialize);
}

bool CDLCommon::Initialize() {
  g_commonProcess.SetStatusText("Initialize ...");
  return RunControlStep(packet::kInitialize);
}

bool CDLCommon::Erase() {
  g_commonProcess.SetStatusText("Erasing ...");
  g_commonProcess.SetDetailText(" ");
  const bool ok = RunControlStep(packet::kErase);
  g_commonProcess.StepProgress();
  return ok;
}

bool CDLCommon::EraseEfs() {
  g_commonProcess.SetStatusText("EFS Erasing ...");
  g_commonProcess.SetDetailText(" ");
  const bool ok = RunControlStep(packet::kEraseEfs);
  g_commonProcess.StepProgress();
  return ok;
}

bool CDLCommon::Finalize() {
  g_commonProcess.SetStatusText("Finalize ...");
  return RunControlStep(packet::kFinalize);
}

bool CDLCommon::SelectFastRate(uint8_t selector) {
  std::vector<uint8_t> buffer(static_cast<std::size_t>(packet::kSelectFastRate.length));
  const auto reply = m_link.Exchange(zk::flash::BuildControlPacket(buffer, packet::kSelectFastRate, selector),
                                     packet::kSelectFastRate.waitMs);
  NoteSilence(reply, packet::kSelectFastRate.code);
  if (!reply.Accepted()) {
    g_diagLink.m_downloadMode = 0;  // the rate is left to the caller
    return false;
  }
  g_commonProcess.UpdateElapsedTime();
  return true;
}

bool CDLCommon::DownloaderReset() {
  g_commonProcess.SetStatusText("Reset ...");
  std::vector<uint8_t> buffer(static_cast<std::size_t>(packet::kReset.length));
  const auto reply = m_link.Exchange(zk::flash::BuildControlPacket(buffer, packet::kReset), packet::kReset.waitMs);
  NoteSilence(reply, packet::kReset.code);
  g_diagLink.m_comm.CommClose();  // the handset restarts whatever it answered
  return StepSucceeded(reply);
}

void CDLCommon::WaitSecondsWithElapsed(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    g_commonProcess.UpdateElapsedTime();
    zk::platform::SleepMs(1000);
  }
}

bool CDLCommon::Burn(std::span<const uint8_t> image, const char* statusText, int initialWaitSeconds, bool stepBar) {
  g_commonProcess.SetAddressMode(true);
  g_commonProcess.SetStatusText(statusText);
  g_commonProcess.SetText(CCommonProcess::kFirstAddressId, "0x0");
  g_commonProcess.SetText(CCommonProcess::kSecondAddressId, Hex(static_cast<uint32_t>(image.size())));
  WaitSecondsWithElapsed(initialWaitSeconds);

  std::vector<uint8_t> buffer(static_cast<std::size_t>(packet::kWriteBlock.length));
  for (std::size_t sent = 0; sent < image.size(); sent += zk::flash::kBlockSize) {
    const auto address = static_cast<uint32_t>(sent);
    const auto block = zk::flash::BuildWriteBlock(buffer, image, address);
    const auto reply = m_link.Exchange(block.packet, packet::kWriteBlock.waitMs);
    NoteSilence(reply, packet::kWriteBlock.code);
    g_commonProcess.SetText(CCommonProcess::kFirstAddressId, Hex(address));
    if (stepBar) g_commonProcess.StepProgress();
    if (!StepSucceeded(reply)) {
      g_commonProcess.SetAddressMode(false);
      return false;
    }
  }
  g_commonProcess.SetAddressMode(false);
  return true;
}

bool CDLCommon::BurnBootLoader() {
  return Burn({m_bootBuf.data(), m_bootLen}, "BootLoader Burning ...", 5, false);
}

bool CDLCommon::BurnBootImage() { return Burn({m_logoBuf.data(), m_logoLen}, "BootImage Burning ...", 3, true); }

bool CDLCommon::BurnImage() {
  g_commonProcess.SetProgressRange(static_cast<int>(m_mainLen / zk::flash::kBlockSize));
  return Burn({m_mainBuf.data(), m_mainLen}, "Burning ...", 5, true);
}
