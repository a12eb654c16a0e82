// CPacketProcess: offline and reset, the switch to the downloader, the keypad
// and the SPC request.
#include "diag/packet_process.h"

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"
#include "diag/link_timing.h"
#include "platform/clock.h"
#include "ui/common_process.h"

namespace {

using namespace zk::diag;

constexpr const char* kResetStatus = "Reset...";

}  // namespace

CPacketProcess::CPacketProcess() : m_link(g_diagLink) {}

OfflineResult CPacketProcess::GoOffline() {
  for (int attempt = 1;; ++attempt) {
    const Reply offline = Send(BuildModeControl(RequestBuffer(), kModeOffline), request::kModeOffline.waitMs);
    if (!offline.Accepted() || !HasCode(offline.answer, code::kModeControl))
      return offline.answered ? OfflineResult::kOtherCode : OfflineResult::kNoAnswer;

    zk::platform::SleepMs(pace::kOfflineSettleMs);
    const Reply status =
        Send(BuildBareRequest(RequestBuffer(), request::kStatusOffline), request::kStatusOffline.waitMs);
    // A status request without an answer, or with an answer too short to
    // carry the phone state, never confirms the state.
    const auto state = status.Accepted() ? ParseStatus(status.answer) : std::nullopt;
    const bool reached = state && state->Usable();
    // The last attempt is not judged: the state must show up before it.
    if (attempt >= pace::kOfflineAttempts) return OfflineResult::kNotConfirmed;
    if (reached) return OfflineResult::kConfirmed;
  }
}

ResetResult CPacketProcess::ResetPhone() {
  g_commonProcess.SetStatusText(kResetStatus);
  g_commonProcess.SetDetailText(" ");
  static_cast<void>(GoOffline());  // the reset goes out whatever the handset's state

  const Reply reset = Send(BuildModeControl(RequestBuffer(), kModeReset), request::kModeReset.waitMs);
  g_diagLink.ClosePort();

  if (reset.Accepted() && HasCode(reset.answer, code::kModeControl)) return ResetResult::kDone;
  return reset.answered ? ResetResult::kOtherCode : ResetResult::kNoAnswer;
}

bool CPacketProcess::SwitchToDownloader() {
  const Reply reply =
      Send(BuildBareRequest(RequestBuffer(), request::kSwitchToDownloader), request::kSwitchToDownloader.waitMs);
  return reply.Accepted() && HasCode(reply.answer, code::kSwitchToDownloader);
}

bool CPacketProcess::SetKeyLock(uint16_t lock) {
  // A release holds while the port stays open. Once it has been closed, the
  // handset on it may have restarted (a reset, a switch of mode) or been
  // swapped for the next one, and either has its keypad locked again:
  // without a new release, the keys typed next would be lost.
  if (m_keysEnabled == 1 && m_releasedOnOpening != g_diagLink.PortOpenings()) m_keysEnabled = 0;
  if ((lock == kKeysRelease && m_keysEnabled == 1) || (lock == kKeysLock && m_keysEnabled == 0)) return true;
  const Reply reply = Send(BuildKeyLock(RequestBuffer(), lock), request::kKeyLock.waitMs);
  if (!reply.Accepted() || !HasCode(reply.answer, code::kKeyLock)) return false;
  m_keysEnabled = lock == kKeysRelease ? 1 : 0;
  m_releasedOnOpening = g_diagLink.PortOpenings();
  return true;
}

bool CPacketProcess::SendKey(uint8_t key, uint8_t hold) {
  if (m_keysEnabled == 0) return true;  // the keypad is not open to remote presses
  zk::platform::SleepMs(pace::kKeyPauseMs);
  const Reply reply = Send(BuildKeyPress(RequestBuffer(), key, hold), request::kKeyPress.waitMs);
  return reply.Accepted() && HasCode(reply.answer, code::kKeyPress);
}

bool CPacketProcess::SendSpcCode(std::string_view digits) {
  const Reply reply = Send(BuildSpcRequest(RequestBuffer(), request::kSpcSend, digits), request::kSpcSend.waitMs);
  // An answer too short to carry the acceptance byte accepts nothing.
  return reply.Accepted() && ParseSpcAccepted(reply.answer).value_or(false);
}
