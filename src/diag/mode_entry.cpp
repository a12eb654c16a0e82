// Diagnostic mode entry: open the port, switch the handset from its AT
// personality into diagnostic mode, confirm that it is in a usable state,
// and optionally raise the line speed to 115200 bit/s afterwards.
#include <cstring>
#include <span>
#include <string>

#include "diag/packet_process.h"
#include "ui/common_process.h"
#include "diag/byte_order.h"
#include "diag/diag_link.h"
#include "diag/diag_requests.h"
#include "diag/link_timing.h"

namespace {

using namespace zk::diag;
using namespace zk::diag::entry;

constexpr const char* kStandardRateCommand = "AT$QCDMR=115200";
constexpr const char* kStandardSwitchCommand = "AT$QCDMG";
constexpr const char* kMakerSwitchCommand = "AT$ZKDMGO";

constexpr const char* kPortOpenError = "Port Open Error!";
constexpr const char* kDataToDmError = "DataToDM Error!";
constexpr const char* kChangingToDm = "Changing to DM mode ...";

// Sends one AT command with its carriage return (and nothing else).
void SendAtCommand(CZKComm& comm, const char* command) {
  std::string line(command);
  line += '\r';
  comm.SioSendS(line.data(), static_cast<int>(line.size()));
}

// Fills the library-wide request with a request that has no fields.
void PrepareBareRequest(uint8_t code) {
  std::memset(&g_diagRequest, 0, sizeof(g_diagRequest));
  g_diagRequest.req.bytes[0] = code;
}

}  // namespace

int CDiagLink::EnterDiagMode(int portIndex) {
  g_commonProcess.SetStatusText(kChangingToDm);
  g_commonProcess.SetDetailText(" ");
  return ConnectDm(portIndex) ? kDiagModeEntered : kDiagModeFailed;
}

bool CDiagLink::ConnectDm(int portIndex) {
  bool opened = false;
  for (int attempt = 0; attempt < kPortOpenAttempts && !opened; ++attempt) {
    opened = OpenPort(portIndex);
    if (!opened) {
      ClosePort();
      m_comm.Sleep(kPortOpenPauseMs);
    }
  }
  if (!opened) {
    g_commonProcess.ShowMessage(kPortOpenError);
    return false;
  }

  for (int pass = 1;; ++pass) {
    bool reached = false;
    for (int probe = 0; probe < kProbeAttempts && !reached; ++probe)
      reached = ProbeStandard() == kTransactAccepted || ProbeLegacy();
    if (!reached) return false;

    g_packetProcess.GoOffline();  // the status below decides
    m_comm.Sleep(kStatusPauseMs);
    PrepareBareRequest(request::kStatusModeEntry.code);
    const int status = Transact(&g_diagRequest, &g_diagResponse, request::kStatusModeEntry.length,
                                request::kStatusModeEntry.waitMs);
    // Only an answer to this request is judged; a missing answer never lets
    // an older buffer content pass for a usable state.
    const std::span<const uint8_t> reply(g_diagResponse.rsp.bytes);
    if (status == kTransactAccepted &&
        IsUsableState(GetLe16(reply, answer::kStatusModeWord), GetLe16(reply, answer::kStatusPhoneState)))
      break;
    if (pass >= kUsableStatePasses) {
      g_commonProcess.ShowMessage(kDataToDmError);
      return false;
    }
  }

  return ReadSoftwareVersion() != kNoAnswer;
}

int CDiagLink::ReadSoftwareVersion() {
  PrepareBareRequest(request::kVersion.code);
  const int result = Transact(&g_diagRequest, &g_diagResponse, request::kVersion.length, request::kVersion.waitMs);
  if (result == kTransactAccepted) {
    // Eight characters, not necessarily terminated in the answer.
    std::memcpy(m_softwareVersion, g_diagResponse.rsp.bytes + answer::kVersionSoftware, kSoftwareVersionLength);
    m_softwareVersion[kSoftwareVersionLength] = '\0';
  }
  return result;
}

int CDiagLink::ProbeStandard() {
  m_comm.SetComBaudRate(kAtRate);
  SendAtCommand(m_comm, kStandardRateCommand);
  m_comm.Sleep(kAtPauseMs);
  m_comm.SetComBaudRate(kFastRate);
  SendAtCommand(m_comm, kStandardSwitchCommand);
  m_comm.Sleep(kAtPauseMs);
  m_comm.SetComBaudRate(kFastRate);
  PrepareBareRequest(request::kEsnProbe.code);
  return Transact(&g_diagRequest, &g_diagResponse, request::kEsnProbe.length, request::kEsnProbe.waitMs);
}

bool CDiagLink::ProbeLegacy() {
  m_comm.SetComBaudRate(kLegacyRate);
  int third = kNoAnswer;
  for (int i = 0; i < kLegacyEsnRequests; ++i) {
    PrepareBareRequest(request::kEsnProbe.code);
    third = Transact(&g_diagRequest, &g_diagResponse, request::kEsnProbe.length, request::kEsnProbe.waitMs);
  }
  // The third request must itself have been answered: an ESN answer left in
  // the buffer by an earlier probe does not count.
  if (third == kTransactAccepted && g_diagResponse.rsp.bytes[0] == code::kEsn) {
    m_dmBaud = kLegacyRate;
    return true;
  }

  m_comm.SetComBaudRate(kAtRate);
  SendAtCommand(m_comm, kMakerSwitchCommand);
  m_comm.Sleep(kMakerSwitchPauseMs);
  m_comm.SetComBaudRate(kFastRate);
  SendAtCommand(m_comm, kMakerSwitchCommand);
  m_comm.Sleep(kMakerSwitchPauseMs);
  // The handset restarts into diagnostic mode; the next entry reopens the port.
  ClosePort();
  return false;
}

bool CDiagLink::SpeedUp() {
  std::memset(&g_diagRequest, 0, sizeof(g_diagRequest));
  const std::span<uint8_t> baud(g_diagRequest.req.bytes);
  Put8(baud, 0, request::kBaudChange.code);
  Put8(baud, field::kBaudSelector, kBaudSelector);
  PutLe32(baud, field::kBaudRate, kFastBaud);
  Transact(&g_diagRequest, &g_diagResponse, request::kBaudChange.length, request::kBaudChange.waitMs);

  const auto esnCheck = [this] {
    PrepareBareRequest(request::kEsnSpeedCheck.code);
    return Transact(&g_diagRequest, &g_diagResponse, request::kEsnSpeedCheck.length,
                    request::kEsnSpeedCheck.waitMs);
  };

  // Still answering at the old rate twice: the handset kept its rate.
  int passed = 0;
  for (; passed < kSpeedChecks; ++passed) {
    if (esnCheck() != kNoAnswer) continue;
    if (esnCheck() == kNoAnswer) break;  // silent twice: it has changed its rate
  }
  if (passed == kSpeedChecks) return true;

  m_comm.SetComBaudRate(kFastRate);
  for (int i = 0; i < kSpeedChecks; ++i)
    if (esnCheck() == kTransactAccepted) return true;

  ClosePort();
  m_comm.SetComBaudRate(kLegacyRate);  // stored for the next open
  return false;
}
