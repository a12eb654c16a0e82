// CPacketProcess: the command object. Its steps build a request in their
// own buffer, exchange it through a Transactor (the library-wide link unless
// a test hands in another) and read the answer with the parsers.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <span>
#include <string_view>

#include "diag/link_results.h"
#include "diag/transactor.h"
#include "zkdownload/diag_packet.h"

class CPacketProcess {
 public:
  CPacketProcess();  // talks through g_diagLink
  explicit CPacketProcess(zk::diag::Transactor& link) : m_link(link) {}
  CPacketProcess(const CPacketProcess&) = delete;
  CPacketProcess& operator=(const CPacketProcess&) = delete;

  // Takes the handset offline (digital) and confirms it with status
  // requests, twelve attempts at most. A status answer too short to hold the
  // phone state confirms nothing.
  [[nodiscard]] zk::diag::OfflineResult GoOffline();
  // Offline, then the reset request; always closes the library's port.
  [[nodiscard]] zk::diag::ResetResult ResetPhone();
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
  // Appends the list of `nam` to `file`, block by block as the handset
  // answers; never more bytes per block than the answer carried. An answer
  // too short to hold its block header, or whose status says it carries no
  // list, fails the read.
  zk::diag::PrlReadOutcome ReadPrl(uint8_t nam, std::FILE* file);

  // Where the requests are built.
  diag_req_pkt_type m_request{};
  // 1 while the keypad is released to remote key presses, 0 once locked again.
  int32_t m_keysEnabled = 0;
  // The port opening (CDiagLink::PortOpenings) the release was sent on.
  uint32_t m_releasedOnOpening = 0;

 private:
  std::span<uint8_t> RequestBuffer() { return m_request.req.bytes; }
  zk::diag::Reply Send(std::span<const uint8_t> request, int waitMs) { return m_link.Exchange(request, waitMs); }

  zk::diag::Transactor& m_link;
};

// Bytes of PRL data an answer really carries: its bit count / 8, but never
// more than lie between the data field and the check bytes of the decoded
// answer (`decodedLength`, check bytes included), nor beyond the response
// buffer.
std::size_t PrlReadDataBytes(uint16_t bitCount, int decodedLength);

extern CPacketProcess g_packetProcess;
