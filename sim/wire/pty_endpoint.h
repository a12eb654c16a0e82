// The handset's end of the wire: a pseudo-terminal whose slave the host opens
// as COM<n> through the port map.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace rb310 {

class PtyEndpoint {
 public:
  PtyEndpoint() = default;
  PtyEndpoint(const PtyEndpoint&) = delete;
  PtyEndpoint& operator=(const PtyEndpoint&) = delete;
  ~PtyEndpoint();

  // Creates the pty, puts the slave in raw mode and keeps one slave
  // descriptor open, so that the master never sees a hang-up while the host
  // closes and reopens the port.
  bool Open(std::error_code& error);
  void Close();

  // Makes $ZKDOWNLOAD_HOME/ports/COM<port> point at the slave.
  bool Link(int port, const std::optional<std::string>& friendly, std::error_code& error);
  void Unlink();

  int masterFd() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  int linkedPort() const { return linkedPort_; }

  // The rate the host set on its end; 0 when unknown.
  uint32_t HostBaud() const;

 private:
  int master_ = -1;
  int keptSlave_ = -1;
  std::string slavePath_;
  int linkedPort_ = 0;
};

}  // namespace rb310
