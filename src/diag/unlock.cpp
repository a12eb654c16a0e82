// The unlock steps: the service programming code, then the keypad release
// and the key presses that open the handset for writes (or for NV reads and
// scripts, with the service sequence typed in).
#include <cstring>
#include <string>

#include "diag/packet_process.h"
#include "diag/diag_link.h"
#include "diag/diag_requests.h"
#include "diag/link_timing.h"
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

int CDiagLink::UnlockSpc() {
  m_downloadMode = 0;
  std::memset(&g_diagRequest, 0, sizeof(g_diagRequest));
  g_diagRequest.req.bytes[0] = request::kSpcUnlock.code;
  std::memcpy(g_diagRequest.req.bytes + field::kSpcDigits, m_spcCode, field::kSpcDigitCount);
  // Whether the handset accepted the code is not examined: only silence fails.
  const int result =
      Transact(&g_diagRequest, &g_diagResponse, request::kSpcUnlock.length, request::kSpcUnlock.waitMs);
  return result == kNoAnswer ? 0 : 1;
}

int CDiagLink::UnlockAndRelease() {
  if (!UnlockSpc()) return kUnlockNoAnswer;
  g_packetProcess.SetKeyLock(kKeysRelease);
  m_comm.Sleep(pace::kKeyPauseMs);
  g_packetProcess.SendKey(kKeyServiceLead, kNoHold);
  m_comm.Sleep(pace::kKeyPauseMs);
  g_packetProcess.SendKey(kKeyServiceMark, kNoHold);
  m_comm.Sleep(pace::kKeyPauseMs);
  return 1;
}

int CDiagLink::UnlockAndTypeCode() {
  if (!UnlockSpc()) return kUnlockNoAnswer;
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
  return 1;
}
