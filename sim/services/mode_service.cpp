#include "services/mode_service.h"

#include <algorithm>
#include <iterator>

#include "core/byte_order.h"
#include "core/handset_context.h"
#include "services/diag_codes.h"

namespace rb310 {
namespace {

constexpr uint32_t kDiagRates[] = {9600, 19200, 38400, 57600, 115200, 230400};

// Mode control values besides offline and reset.
constexpr uint16_t kModeOfflineAnalog = 0;  // treated as offline
constexpr uint16_t kModeOnline = 4;

}  // namespace

void ModeService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  diagnostic.Add(diag::kStatus, {"status", 1, false, Handler(this, &ModeService::Status)});
  diagnostic.Add(diag::kModeControl,
                 {"mode control", diag::kModeControlRequestSize, false, Handler(this, &ModeService::ModeControl)});
  diagnostic.Add(diag::kSwitchToDownloader,
                 {"switch to downloader", 1, false, Handler(this, &ModeService::SwitchToDownloader)});
  diagnostic.Add(diag::kBaudChange,
                 {"baud change", diag::kBaudChangeRequestSize, false, Handler(this, &ModeService::BaudChange)});
}

Answer ModeService::Status(HandsetContext& context, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kStatusResponseSize, 0);
  packet[0] = diag::kStatus;
  PutLe32(packet, diag::kStatusEsnOffset, esn_);
  // Usable states: online shows mode word 0 with phone state 6, offline a
  // non-zero mode word with phone state 2. A handset that never gets there
  // shows mode word 0 with state 2.
  uint16_t modeWord = 0;
  uint16_t phoneState = diag::kPhoneStateOnline;
  if (context.faults().options().neverUsable) {
    phoneState = diag::kPhoneStateOffline;
  } else if (offline_) {
    modeWord = 1;
    phoneState = diag::kPhoneStateOffline;
  }
  PutLe16(packet, diag::kStatusModeWordOffset, modeWord);
  PutLe16(packet, diag::kStatusPhoneStateOffset, phoneState);
  return Answer{std::move(packet), {}};
}

Answer ModeService::ModeControl(HandsetContext&, std::span<const uint8_t> request) {
  const uint16_t mode = GetLe16(request, 1);
  Answer answer = EchoAnswer(request.first(diag::kModeControlRequestSize));
  switch (mode) {
    case kModeOfflineAnalog:
    case diag::kModeOffline:
      offline_ = true;
      return answer;
    case kModeOnline:
      offline_ = false;
      return answer;
    case diag::kModeReset:
      // Like the real handset, it restarts only from offline.
      if (!offline_) return ErrorAnswer(diag::kBadParameter, request);
      answer.afterSend = [](HandsetContext& handset, int64_t sentMs) { handset.BeginRestart(sentMs); };
      return answer;
    default:
      return ErrorAnswer(diag::kBadParameter, request);
  }
}

Answer ModeService::SwitchToDownloader(HandsetContext&, std::span<const uint8_t> request) {
  Answer answer = EchoAnswer(request.first(1));
  answer.afterSend = [](HandsetContext& handset, int64_t) { handset.EnterDownloader(); };
  return answer;
}

Answer ModeService::BaudChange(HandsetContext& context, std::span<const uint8_t> request) {
  if (context.faults().options().ignoreBaudChange) return ErrorAnswer(diag::kBadCommand, request);
  const uint32_t rate = GetLe32(request, diag::kBaudRateOffset);
  if (std::find(std::begin(kDiagRates), std::end(kDiagRates), rate) == std::end(kDiagRates)) {
    return ErrorAnswer(diag::kBadParameter, request);
  }
  // The answer still leaves at the old rate; the new one holds after it.
  Answer answer = EchoAnswer(request.first(diag::kBaudChangeRequestSize));
  answer.afterSend = [rate](HandsetContext& handset, int64_t) { handset.SetLineRate(rate); };
  return answer;
}

}  // namespace rb310
