// CPacketProcess: offline and reset, the switch to the downloader, the keypad
// and the SPC request.
#include "diag/packet_process.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "diag/diag_link.h"
#include "ui/common_process.h"
#include "diag/byte_order.h"
#include "diag/diag_requests.h"
#include "diag/link_timing.h"

namespace {

using namespace zk::diag;

constexpr const char* kResetStatus = "Reset...";

}  // namespace

void CPacketProcess::PrepareRequest(uint8_t requestCode) {
  std::memset(&m_request, 0, sizeof(m_request));
  m_request.req.bytes[0] = requestCode;
}

int CPacketProcess::Send(int length, int waitMs) {
  return g_diagLink.Transact(&m_request, &m_response, length, waitMs);
}

int CPacketProcess::GoOffline() {
  const std::span<uint8_t> request(m_request.req.bytes);
  const std::span<const uint8_t> reply(m_response.rsp.bytes);
  for (int attempt = 1;; ++attempt) {
    PrepareRequest(request::kModeOffline.code);
    PutLe16(request, field::kModeControlMode, kModeOffline);
    const int result = Send(request::kModeOffline.length, request::kModeOffline.waitMs);
    if (result != kTransactAccepted || reply[0] != code::kModeControl)
      return g_diagLink.m_lastAnswered ? kOfflineOtherCode : kOfflineNoAnswer;

    g_diagLink.m_comm.Sleep(pace::kOfflineSettleMs);
    PrepareRequest(request::kStatusOffline.code);
    const int status = Send(request::kStatusOffline.length, request::kStatusOffline.waitMs);
    // A status request without an answer never confirms the state.
    const bool reached = status == kTransactAccepted &&
                         IsUsableState(GetLe16(reply, answer::kStatusModeWord),
                                       GetLe16(reply, answer::kStatusPhoneState));
    // The last attempt is not judged: the state must show up before it.
    if (attempt >= pace::kOfflineAttempts) return kOfflineNotConfirmed;
    if (reached) return 1;
  }
}

int CPacketProcess::ResetPhone() {
  g_commonProcess.SetStatusText(kResetStatus);
  g_commonProcess.SetDetailText(" ");
  GoOffline();  // the reset goes out whatever the handset's state

  PrepareRequest(request::kModeReset.code);
  PutLe16(std::span<uint8_t>(m_request.req.bytes), field::kModeControlMode, kModeReset);
  const int result = Send(request::kModeReset.length, request::kModeReset.waitMs);
  g_diagLink.ClosePort();

  if (result == kTransactAccepted && m_response.rsp.bytes[0] == code::kModeControl) return 1;
  return g_diagLink.m_lastAnswered ? kResetOtherCode : kResetNoAnswer;
}

bool CPacketProcess::SwitchToDownloader() {
  PrepareRequest(request::kSwitchToDownloader.code);
  const int result = Send(request::kSwitchToDownloader.length, request::kSwitchToDownloader.waitMs);
  return result == kTransactAccepted && m_response.rsp.bytes[0] == code::kSwitchToDownloader;
}

bool CPacketProcess::SetKeyLock(uint16_t lock) {
  if ((lock == kKeysRelease && m_keysEnabled == 1) || (lock == kKeysLock && m_keysEnabled == 0)) return true;
  PrepareRequest(request::kKeyLock.code);
  PutLe16(std::span<uint8_t>(m_request.req.bytes), field::kKeyLockValue, lock);
  const int result = Send(request::kKeyLock.length, request::kKeyLock.waitMs);
  if (result != kTransactAccepted || m_response.rsp.bytes[0] != code::kKeyLock) return false;
  m_keysEnabled = lock == kKeysRelease ? 1 : 0;
  return true;
}

bool CPacketProcess::SendKey(uint8_t key, uint8_t hold) {
  if (m_keysEnabled == 0) return true;  // the keypad is not open to remote presses
  g_diagLink.m_comm.Sleep(pace::kKeyPauseMs);
  PrepareRequest(request::kKeyPress.code);
  m_request.req.bytes[field::kKeyPressHold] = hold;
  m_request.req.bytes[field::kKeyPressCode] = key;
  const int result = Send(request::kKeyPress.length, request::kKeyPress.waitMs);
  return result == kTransactAccepted && m_response.rsp.bytes[0] == code::kKeyPress;
}

bool CPacketProcess::SendSpcCode(std::string_view digits) {
  PrepareRequest(request::kSpcSend.code);
  const std::size_t count = std::min(digits.size(), field::kSpcDigitCount);
  std::memcpy(m_request.req.bytes + field::kSpcDigits, digits.data(), count);
  const int result = Send(request::kSpcSend.length, request::kSpcSend.waitMs);
  return result == kTransactAccepted && m_response.rsp.bytes[0] == code::kSpc &&
         m_response.rsp.bytes[answer::kSpcAccepted] != 0;
}
