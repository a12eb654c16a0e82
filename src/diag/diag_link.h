// CDiagLink: the one link to the handset. It owns the frame link and the
// port, remembers the parameters of the running operation and the service
// programming code, and tracks whether the handset speaks the diagnostic or
// the download protocol. Every request of the library goes through Transact;
// protocol code reaches it as a zk::diag::Transactor (Exchange).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "diag/link_results.h"
#include "diag/transactor.h"
#include "zkdownload/zkcomm.h"

// EnterDiagMode results.
inline constexpr int kDiagModeEntered = 1;
inline constexpr int kDiagModeFailed = 2;

// The answer's own length in a decoded frame of `decodedLength` bytes: the
// check bytes taken off, and never more than the response buffer keeps.
// Inline: the PRL read step shares this rule without linking the port code.
inline std::size_t AnswerLength(int decodedLength) {
  constexpr int kCheckBytes = 2;
  if (decodedLength <= kCheckBytes) return 0;
  return std::min(static_cast<std::size_t>(decodedLength - kCheckBytes), sizeof(diag_rsp_type));
}

namespace zk::diag {
// The legacy probe's burst: three ESN requests at the link's current rate.
// True when any of them was answered with the ESN answer's code.
bool LegacyEsnAnswered(Transactor& link, std::span<uint8_t> requestBuffer, uint32_t* esn = nullptr);
}  // namespace zk::diag

class CDiagLink : public zk::diag::Transactor {
 public:
  // Six digits, their terminator and one spare byte.
  static constexpr std::size_t kSpcCodeSize = 8;
  static constexpr const char* kDefaultSpcCode = "271828";
  // Tries of one exchange.
  static constexpr int kDownloadModeTries = 10;
  static constexpr int kDiagnosticModeTries = 2;

  CDiagLink() = default;
  CDiagLink(const CDiagLink&) = delete;
  CDiagLink& operator=(const CDiagLink&) = delete;

  // One request/answer exchange with retries: 10 tries in download mode, 2
  // otherwise. Diagnostic mode: 1 when an answer carries the request's code;
  // an answer with another code counts as no answer. Download mode: 1 on an
  // acknowledgement or the request's code, 0 on any other answer (after a
  // 2000 ms pause when it is a negative acknowledgement). 23 when the tries
  // run out. An answer is judged by its true length (answer_verdict.h): a
  // frame of check bytes alone carries no code and is never accepted.
  // Writes m_lastOk, m_lastAnswered and m_lastAnswerLength.
  int Transact(diag_req_pkt_type* request, diag_rsp_pkt_type* response, int length, int timeoutMs);

  // The Transactor seam: Transact over the link's own request/response pair.
  // A request that is empty or longer than the request buffer is not sent
  // (no answer).
  zk::diag::Reply Exchange(std::span<const uint8_t> request, int timeoutMs) override;
  zk::diag::Reply ExchangeExpecting(std::span<const uint8_t> request, int timeoutMs,
                                    std::size_t answerBytes) override;

  // Closes the port and forgets the last operation: parameters, SPC code,
  // download mode and the answers seen.
  void ForgetRunState();

  // Stores the running operation's parameters; returns the port index kept.
  int SetLinkParams(int16_t opKind, int portIndex, int16_t param1, int16_t param2, int16_t param3);
  // An operation's start: its kind becomes the library's current kind, the
  // link takes its parameters and its SPC argument (SetSpcCode).
  void PrepareOperation(int16_t kind, int portIndex, int16_t param1, int16_t param2, int16_t param3,
                        const char* spcCode);
  // Copies an operation's SPC argument into m_spcCode: null or empty selects
  // "271828"; a longer text is cut to its first 7 characters so that it
  // always fits the buffer with its terminator (the unlock sends 6).
  void SetSpcCode(const char* argument);

  // Port handling and diagnostic mode entry.
  bool OpenPort(int portIndex);  // open at 38400 bit/s with 4096-byte queues
  void ClosePort();
  // How many times the port has been opened: while it was closed the
  // handset may have restarted, or another taken its place.
  uint32_t PortOpenings() const { return m_portOpenings; }
  int EnterDiagMode(int portIndex);  // kDiagModeEntered or kDiagModeFailed
  bool ConnectDm(int portIndex);
  int ProbeStandard();  // the Transact result of the ESN check at 115200
  bool ProbeLegacy();
  bool SpeedUp();

  // Unlock steps before writes and reads.
  [[nodiscard]] bool UnlockSpc();  // false only when the SPC request got no answer
  [[nodiscard]] zk::diag::UnlockResult UnlockAndRelease();
  [[nodiscard]] zk::diag::UnlockResult UnlockAndTypeCode();

  // The version request at the end of mode entry; when answered, keeps the
  // handset's 8-character software version in m_softwareVersion. Returns the
  // Transact result.
  int ReadSoftwareVersion();

  // The seven digits UnlockAndTypeCode types: key "ServiceSequence" of
  // section "Handset" in $ZKDOWNLOAD_HOME/profile.ini, exactly seven digits;
  // anything else (or no key) selects kDefaultServiceSequence.
  static constexpr const char* kDefaultServiceSequence = "0000000";
  static std::string ServiceSequence();

  CZKComm m_comm;                          // frame link and serial port
  int32_t m_portIndex = 0;                 // 0 = COM1; low 16 bits significant
  int16_t m_opKind = 0;                    // operation kind of the running operation
  std::array<int16_t, 3> m_linkParams{};   // the host's three extras, kept for later steps
  int32_t m_lastOk = 0;                    // 1: the last exchange got an accepted answer
  int32_t m_downloadMode = 0;              // 1: the handset speaks the download protocol
  int32_t m_dmBaud = 0;                    // 38400 once the legacy probe reached the handset
  uint32_t m_portOpenings = 0;
  char m_spcCode[kSpcCodeSize] = {};       // service programming code, zero-terminated
  // The handset's software version from the last answered version request,
  // zero-terminated (empty until then); the NV backup names its files by it.
  static constexpr std::size_t kSoftwareVersionLength = 8;
  char m_softwareVersion[kSoftwareVersionLength + 1] = {};
  // The handset's ESN from an ESN answer of mode entry, and whether one was
  // read since the boundary last forgot it (at the start of every operation
  // export).
  uint32_t m_esn = 0;
  bool m_esnRead = false;
  // Whether any decoded answer (of any code) arrived during the latest
  // Transact: tells "answered with another code" from "not answered"
  // without reading a stale response buffer.
  bool m_lastAnswered = false;
  // Whether the latest unlock's answer said the handset refused the service
  // programming code (its acceptance byte was 0). The unlock still goes on;
  // the failure report of a later step names the refusal. Cleared when an
  // operation export begins.
  bool m_spcRefused = false;
  // The note a failure report adds about the last operation, empty when
  // there is none.
  static constexpr const char* kSpcRefusedNote = "the handset refused the service programming code";
  std::string FailureNote() const { return m_spcRefused ? kSpcRefusedNote : ""; }
  // Bytes of the last answer that arrived during the latest Transact
  // (AnswerLength of its frame), 0 when none did.
  std::size_t m_lastAnswerLength = 0;

 private:
  // Where Exchange builds the request that goes out and receives the answer.
  diag_req_pkt_type m_exchangeRequest{};
  diag_rsp_pkt_type m_exchangeResponse{};
};

// The library's one link (boundary/globals.cpp builds it) and its own
// request buffers: mode entry, unlock and speed change build their requests
// in g_diagRequest; NV reads and writes and file-system requests use both.
extern CDiagLink g_diagLink;
extern diag_req_pkt_type g_diagRequest;
extern diag_rsp_pkt_type g_diagResponse;
