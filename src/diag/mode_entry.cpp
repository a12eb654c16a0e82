// Diagnostic mode entry: open the port, switch the handset from its AT
// personality into diagnostic mode, confirm that it is in a usable state,
// and optionally raise the line speed to 115200 bit/s afterwards.
#include <cstring>
#include <span>
#include <string>

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"
#include "diag/link_timing.h"
#include "diag/packet_process.h"
#include "ui/common_process.h"

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

// Mode entry builds its requests in the library-wide request buffer.
std::span<uint8_t> RequestBuffer() { return g_diagRequest.req.bytes; }

// Keeps the ESN an accepted ESN answer carries.
const Reply& KeepEsn(CDiagLink& link, const Reply& reply) {
  if (!reply.Accepted() || !HasCode(reply.answer, code::kEsn)) return reply;
  if (const auto esn = ParseEsn(reply.answer)) {
    link.m_esn = *esn;
    link.m_esnRead = true;
  }
  return reply;
}

static_assert(CDiagLink::kSoftwareVersionLength == answer::VersionSoftware::size);

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

    static_cast<void>(g_packetProcess.GoOffline());  // the status below decides
    m_comm.Sleep(kStatusPauseMs);
    const Reply status =
        Exchange(BuildBareRequest(RequestBuffer(), request::kStatusModeEntry), request::kStatusModeEntry.waitMs);
    // Only an answer to this request is judged, and only as far as it
    // reaches: a missing or short answer never passes for a usable state.
    const auto state = status.Accepted() ? ParseStatus(status.answer) : std::nullopt;
    if (state && state->Usable()) break;
    if (pass >= kUsableStatePasses) {
      g_commonProcess.ShowMessage(kDataToDmError);
      return false;
    }
  }

  return ReadSoftwareVersion() != kNoAnswer;
}

int CDiagLink::ReadSoftwareVersion() {
  const Reply reply = Exchange(BuildBareRequest(RequestBuffer(), request::kVersion), request::kVersion.waitMs);
  if (reply.Accepted()) {
    // Eight characters, not necessarily terminated in the answer; an answer
    // too short to carry them leaves no version.
    const auto version = ParseSoftwareVersion(reply.answer).value_or(std::string_view());
    std::memset(m_softwareVersion, 0, sizeof(m_softwareVersion));
    std::memcpy(m_softwareVersion, version.data(), version.size());
  }
  return reply.result;
}

int CDiagLink::ProbeStandard() {
  m_comm.SetComBaudRate(kAtRate);
  SendAtCommand(m_comm, kStandardRateCommand);
  m_comm.Sleep(kAtPauseMs);
  m_comm.SetComBaudRate(kFastRate);
  SendAtCommand(m_comm, kStandardSwitchCommand);
  m_comm.Sleep(kAtPauseMs);
  m_comm.SetComBaudRate(kFastRate);
  return KeepEsn(*this, Exchange(BuildBareRequest(RequestBuffer(), request::kEsnProbe), request::kEsnProbe.waitMs))
      .result;
}

namespace zk::diag {

bool LegacyEsnAnswered(Transactor& link, std::span<uint8_t> requestBuffer, uint32_t* esn) {
  bool answered = false;
  // All three go out whatever the first ones got. Each reply is judged as
  // it comes back, by the answer to that very request: an ESN answer left
  // over from an earlier exchange never counts.
  for (int i = 0; i < kLegacyEsnRequests; ++i) {
    const Reply reply = link.Exchange(BuildBareRequest(requestBuffer, request::kEsnProbe), request::kEsnProbe.waitMs);
    if (!reply.Accepted() || !HasCode(reply.answer, code::kEsn)) continue;
    answered = true;
    if (const auto value = ParseEsn(reply.answer); value && esn != nullptr) *esn = *value;
  }
  return answered;
}

}  // namespace zk::diag

bool CDiagLink::ProbeLegacy() {
  m_comm.SetComBaudRate(kLegacyRate);
  uint32_t esn = 0;
  if (LegacyEsnAnswered(*this, RequestBuffer(), &esn)) {
    m_esn = esn;
    m_esnRead = true;
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
  // Whatever the handset answers, the ESN checks below decide.
  static_cast<void>(Exchange(BuildBaudChange(RequestBuffer(), kFastBaud), request::kBaudChange.waitMs));

  const auto esnCheck = [this] {
    return KeepEsn(*this, Exchange(BuildBareRequest(RequestBuffer(), request::kEsnSpeedCheck),
                                   request::kEsnSpeedCheck.waitMs))
        .result;
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
