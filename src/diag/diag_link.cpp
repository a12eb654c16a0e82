// CDiagLink: the exchange with retries, the link parameters, the SPC buffer
// and the port.
#include "diag/diag_link.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "diag/answer_verdict.h"
#include "diag/link_timing.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

namespace {

constexpr int kNakPauseMs = 2000;

constexpr int kPortQueueBytes = 4096;

// Silence shorter than this goes unremarked (the probes of mode entry wait
// 1.5 s for answers that often do not come).
constexpr int64_t kSilenceNoticeMs = 5000;

// Handset time since `startMs`: real time taken back through the time scale.
int64_t HandsetMsSince(int64_t startMs) {
  const double scale = zk::platform::TimeScale();
  return static_cast<int64_t>(static_cast<double>(zk::platform::NowMs() - startMs) / scale);
}

// What the status line says before try `attempt` (from 2) of `tries`, or
// nothing when it stays as it is.
std::string RetryNotice(bool download, bool silent, int64_t silentMs, int attempt, int tries) {
  const std::string count = "(try " + std::to_string(attempt) + " of " + std::to_string(tries) + ")";
  if (download) return "Waiting for the downloader ... " + count;
  if (!silent || silentMs < kSilenceNoticeMs) return {};
  return "No answer from the handset for " + std::to_string(silentMs / 1000) + " s ... " + count;
}

}  // namespace

int CDiagLink::Transact(diag_req_pkt_type* request, diag_rsp_pkt_type* response, int length, int timeoutMs) {
  const bool download = m_downloadMode != 0;
  const int tries = download ? CDiagLink::kDownloadModeTries : CDiagLink::kDiagnosticModeTries;
  const uint8_t requestCode = request->req.bytes[0];
  m_lastAnswered = false;
  m_lastAnswerLength = 0;

  // A retry shows on the status line what the link waits for; an answer
  // puts back what the line said before.
  const int64_t startMs = zk::platform::NowMs();
  bool lastSilent = false;
  std::optional<std::string> statusBefore;
  const auto restoreStatus = [&] {
    if (statusBefore) g_commonProcess.SetStatusText(*statusBefore);
  };

  for (int attempt = 0; attempt < tries; ++attempt) {
    if (attempt > 0) {
      const std::string notice = RetryNotice(download, lastSilent, HandsetMsSince(startMs), attempt + 1, tries);
      if (!notice.empty()) {
        if (!statusBefore) statusBefore = g_commonProcess.StatusText();
        g_commonProcess.SetStatusText(notice);
      }
    }
    const int result =
        m_comm.GetPacket(request, response, length, timeoutMs, download ? kDownloadMode : kDiagnosticMode);
    lastSilent = result != kExchangeAnswered && result != kExchangeOtherCode;
    if (lastSilent) continue;  // time-out, bad frame, closed

    restoreStatus();
    m_lastAnswered = true;
    m_lastAnswerLength = AnswerLength(m_comm.lastReceiveLength());
    const std::span<const uint8_t> answer(response->rsp.bytes, m_lastAnswerLength);
    switch (zk::diag::JudgeAnswer(requestCode, answer, download)) {
      case zk::diag::Verdict::kAccepted:
        m_lastOk = 1;
        return kTransactAccepted;
      case zk::diag::Verdict::kNegative:
        m_lastOk = 0;
        m_comm.Sleep(kNakPauseMs);
        return kTransactRefused;
      case zk::diag::Verdict::kRefused:
        m_lastOk = 0;
        return kTransactRefused;
      case zk::diag::Verdict::kTryAgain:
        m_lastOk = 0;  // an error answer counts as none: send the request again
        break;
    }
  }
  m_lastOk = 0;
  return kNoAnswer;
}

zk::diag::Reply CDiagLink::Exchange(std::span<const uint8_t> request, int timeoutMs) {
  m_lastAnswered = false;
  m_lastAnswerLength = 0;
  if (request.empty() || request.size() > sizeof(m_exchangeRequest.req.bytes)) {
    m_lastOk = 0;
    return {};
  }
  std::copy(request.begin(), request.end(), m_exchangeRequest.req.bytes);
  const int result =
      Transact(&m_exchangeRequest, &m_exchangeResponse, static_cast<int>(request.size()), timeoutMs);
  return {result, m_lastAnswered, std::span<const uint8_t>(m_exchangeResponse.rsp.bytes, m_lastAnswerLength)};
}

zk::diag::Reply CDiagLink::ExchangeExpecting(std::span<const uint8_t> request, int timeoutMs,
                                             std::size_t answerBytes) {
  m_comm.ExpectAnswerBytes(static_cast<int>(std::min<std::size_t>(answerBytes, sizeof(diag_rsp_type))));
  zk::diag::Reply reply = Exchange(request, timeoutMs);
  m_comm.ExpectAnswerBytes(0);
  return reply;
}

void CDiagLink::PrepareOperation(int16_t kind, int portIndex, int16_t param1, int16_t param2, int16_t param3,
                                 const char* spcCode) {
  g_runState.operationKind = kind;
  SetLinkParams(kind, portIndex, param1, param2, param3);
  SetSpcCode(spcCode);
}

int CDiagLink::SetLinkParams(int16_t opKind, int portIndex, int16_t param1, int16_t param2, int16_t param3) {
  m_opKind = opKind;
  m_portIndex = portIndex & 0xFFFF;
  m_linkParams = {param1, param2, param3};
  return m_portIndex;
}

void CDiagLink::SetSpcCode(const char* argument) {
  const char* code = (argument == nullptr || *argument == '\0') ? kDefaultSpcCode : argument;
  // Counts at most the characters that can be kept and never reads past the
  // argument's terminator.
  std::size_t kept = 0;
  while (kept < kSpcCodeSize - 1 && code[kept] != '\0') ++kept;
  std::memset(m_spcCode, 0, sizeof(m_spcCode));
  std::memset(m_softwareVersion, 0, sizeof(m_softwareVersion));
  std::memcpy(m_spcCode, code, kept);
}

bool CDiagLink::OpenPort(int portIndex) {
  if (!m_comm.SetComPort(static_cast<COMM_PORT>(portIndex))) return false;
  if (!m_comm.SetComBufSize(kPortQueueBytes, kPortQueueBytes)) return false;
  m_comm.SetComBaudRate(zk::diag::entry::kLegacyRate);  // the port's default rate
  ++m_portOpenings;
  return true;
}

void CDiagLink::ClosePort() { m_comm.CommClose(); }

void CDiagLink::ForgetRunState() {
  ClosePort();
  m_portIndex = 0;
  m_opKind = 0;
  m_linkParams = {};
  m_lastOk = 0;
  m_downloadMode = 0;
  m_dmBaud = 0;
  std::memset(m_spcCode, 0, sizeof(m_spcCode));
  std::memset(m_softwareVersion, 0, sizeof(m_softwareVersion));
  m_lastAnswered = false;
  m_lastAnswerLength = 0;
  m_esn = 0;
  m_esnRead = false;
  m_spcRefused = false;
}
