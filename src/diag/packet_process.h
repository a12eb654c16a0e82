// CPacketProcess: the command object. Its builders fill a request in their
// own buffers, send it through the library-wide link and test the answer.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "zkdownload/diag_packet.h"

// Causes the builders (and the unlock steps of the link) return.
inline constexpr int kOfflineOtherCode = 36;     // the offline request was answered with another code
inline constexpr int kOfflineNoAnswer = 37;      // the offline request was not answered
inline constexpr int kOfflineNotConfirmed = 38;  // the offline state was not confirmed in time
inline constexpr int kUnlockNoAnswer = 39;       // the SPC request was not answered
inline constexpr int kResetOtherCode = 44;       // the reset request was answered with another code
inline constexpr int kResetNoAnswer = 45;        // the reset request was not answered

class CPacketProcess {
 public:
  CPacketProcess() = default;
  CPacketProcess(const CPacketProcess&) = delete;
  CPacketProcess& operator=(const CPacketProcess&) = delete;

  // Takes the handset offline (digital) and confirms it with status
  // requests: 1, 36, 37 or 38 after twelve attempts.
  int GoOffline();
  // Offline, then the reset request; always closes the port. 1, 44 or 45.
  int ResetPhone();
  // True when the handset acknowledged; it then speaks the download protocol.
  bool SwitchToDownloader();
  // lock 0 releases the keypad to remote key presses, 1 locks it again.
  bool SetKeyLock(uint16_t lock);
  // Nothing is sent (and true returned) while the keypad is not released.
  bool SendKey(uint8_t key, uint8_t hold);
  // True when the handset accepted the code: its first six characters are
  // sent (a shorter text is padded with zero bytes).
  bool SendSpcCode(std::string_view digits);
  // Sends `file` (`size` bytes from its current position) to `nam` in 40-byte
  // blocks; the block that reaches `size` is marked last. A zero size sends
  // nothing; a file that ends before `size` fails.
  bool WritePrl(uint8_t nam, std::FILE* file, long size);
  // Appends the list of `nam` to `file`, block by block as the handset answers.
  bool ReadPrl(uint8_t nam, std::FILE* file);

  diag_req_pkt_type m_request{};
  diag_rsp_pkt_type m_response{};
  // 1 while the keypad is released to remote key presses, 0 once locked again.
  int32_t m_keysEnabled = 0;

 private:
  void PrepareRequest(uint8_t code);
  int Send(int length, int waitMs);
};

// Bytes of PRL data an answer really carries: its bit count / 8, but never
// more than lie between the data field and the check bytes of the decoded
// answer (`decodedLength`, check bytes included), nor beyond the response
// buffer.
std::size_t PrlReadDataBytes(uint16_t bitCount, int decodedLength);

extern CPacketProcess g_packetProcess;
