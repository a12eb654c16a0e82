// A pseudo-terminal that stands in for a serial device, and a scripted
// handset played on its master end by a thread.
#pragma once

#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace zk::test {

using Bytes = std::vector<uint8_t>;

// A pty with its slave end in raw mode. The test keeps its own slave
// descriptor open for the whole life of the object, so the master never sees
// a hang-up when the port under test closes its descriptor.
class RawPty {
 public:
  RawPty();  // throws std::system_error when no pty can be made
  ~RawPty();
  RawPty(const RawPty&) = delete;
  RawPty& operator=(const RawPty&) = delete;

  int master() const { return master_; }
  int slave() const { return slave_; }
  const std::string& slavePath() const { return slavePath_; }

  // Closes the master end: the slave side sees a hang-up.
  void CloseMaster();

  // Writes every byte to the master, waiting for room up to `timeoutMs`.
  bool Write(const Bytes& bytes, int timeoutMs = 5000);
  // Reads from the master until one frame has ended (a 0x7E after another
  // byte), the master hangs up or `timeoutMs` passes; returns what was read.
  Bytes ReadFrame(int timeoutMs = 5000);
  // Reads whatever arrives at the master within `timeoutMs`.
  Bytes ReadFor(int timeoutMs);

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

// One step of the scripted handset: wait for a request frame, then answer.
struct PeerStep {
  Bytes reply;               // written after the request (nothing when empty)
  bool closeMaster = false;  // hang up after the reply instead of going on
};

// Plays the handset on a RawPty's master: for each step, reads one request
// frame and writes the step's reply. Finish() returns the requests received.
class PtyPeer {
 public:
  PtyPeer(RawPty& pty, std::vector<PeerStep> steps, int stepTimeoutMs = 5000);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  // Waits for the script to end; the request frames as the peer read them.
  std::vector<Bytes> Finish();

 private:
  std::future<std::vector<Bytes>> result_;
  std::thread thread_;
  std::vector<Bytes> requests_;
};

// The wire form of a packet: escaped bytes, CRC-16/X-25 low byte first, and
// the terminating flag. Written independently of the library's codec.
Bytes EncodeForWire(const Bytes& packet);

// Waits (sleeping, never spinning) until `fd` has at least `count` bytes
// waiting to be read; false after `timeoutMs`.
bool WaitForInput(int fd, int count, int timeoutMs = 5000);

}  // namespace zk::test
