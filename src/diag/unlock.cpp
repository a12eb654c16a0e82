// The unlock steps: the service programming code, then the keypad release
// and the key presses that open the handset for writes (or for NV reads and
// scripts, with the service sequence typed in).
#include <cstring>
#include <string>

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"
#include "diag/link_timing.h"
#include "diag/packet_process.h"
#include "platform/profile.h"

namespace {

using namespace zk::diag;

// Key codes typed around the service sequence.
constexpr uint8_t kKeyServiceLead = 6;
constexpr uint8_t kKeyServiceMark = 81;
constexpr uint8_t kNoHold = 0;

constexpr std::size_t kServiceSequenceLength = 7;
constexpr const char* kProfileSection = "Handset";
constexpr const char* kProfileKey = "ServiceSequence";

bool IsServiceSequence(const std::string& text) {
  if (text.size() != kServiceSequenceLength) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string CDiagLink::ServiceSequence() {
  const std::string configured =
      zk::platform::Profile::Default().GetString(kProfileSection, kProfileKey, kDefaultServiceSequence);
  return IsServiceSequence(configured) ? configured : std::string(kDefaultServiceSequence);
}

bool CDiagLink::UnlockSpc() {
  m_downloadMode = 0;
  const std::string_view code(m_spcCode, strnlen(m_spcCode, sizeof(m_spcCode)));
  // Only silence fails the unlock. A refusal is recorded, so that the step
  // that then fails can say why, instead of leaving a cable to be blamed.
  const Reply reply =
      Exchange(BuildSpcRequest(g_diagRequest.req.bytes, request::kSpcUnlock, code), request::kSpcUnlock.waitMs);
  const auto accepted = reply.Accepted() ? ParseSpcAccepted(reply.answer) : std::nullopt;
  m_spcRefused = accepted.has_value() && !*accepted;
  return reply.result != kNoAnswer;
}

UnlockResult CDiagLink::UnlockAndRelease() {
  if (!UnlockSpc()) return UnlockResult::kNoAnswer;
  g_packetProcess.SetKeyLock(kKeysRelease);
  m_comm.Sleep(pace::kKeyPauseMs);
  g_packetProcess.SendKey(kKeyServiceLead, kNoHold);
  m_comm.Sleep(pace::kKeyPauseMs);
  g_packetProcess.SendKey(kKeyServiceMark, kNoHold);
  m_comm.Sleep(pace::kKeyPauseMs);
  return UnlockResult::kUnlocked;
}

UnlockResult CDiagLink::UnlockAndTypeCode() {
  if (!UnlockSpc()) return UnlockResult::kNoAnswer;
  g_packetProcess.SetKeyLock(kKeysRelease);
  m_comm.Sleep(pace::kKeyPauseMs);

  std::string keys;
  keys += static_cast<char>(kKeyServiceLead);
  keys += static_cast<char>(kKeyServiceMark);
  keys += ServiceSequence();  // a digit key's code is the digit's character code
  keys += static_cast<char>(kKeyServiceMark);
  for (const char key : keys) {
    g_packetProcess.SendKey(static_cast<uint8_t>(key), kNoHold);
    m_comm.Sleep(pace::kKeyPauseMs);
  }
  return UnlockResult::kUnlocked;
}
