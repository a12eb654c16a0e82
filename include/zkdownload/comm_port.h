// CCommPort: one serial port of the PC (a physical line or the handset's USB
// modem port), driven through termios. The base of CZKComm.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "zkdownload/export.h"

// Zero-based port index: 0 names COM1, 255 names COM256.
enum COMM_PORT : int32_t {
  COM1 = 0,
  COM256 = 255,
};

class ZK_API CCommPort {
 public:
  // The line settings, kept in the profile section "CommPort Settings".
  struct Settings {
    uint32_t baudRate = 38400;
    uint8_t dataBits = 8;
    uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint32_t port = 0;     // port index
    uint32_t rtsCts = 1;   // the three flow-control choices are kept and
    uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    uint32_t xonXoff = 1;  // saved, but the line never uses handshaking
    uint32_t dtrDsr = 1;
  };

  // The device's line configuration as the port applies it.
  struct LineConfig {
    uint32_t baudRate = 38400;
    uint8_t byteSize = 8;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
    bool dtrHandshake = false;  // DTR under flow control (never set by this class)
    bool dtrOn = true;
    bool rtsOn = true;
    bool ctsOutFlow = false;
    bool dsrOutFlow = false;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char eventChar = 0x7E;
    bool binary = true;
    bool parityCheck = true;
  };

  // The descriptor of the open device, owned: closed when replaced or
  // destroyed, so no path out of an open can leak it.
  class OwnedFd {
   public:
    OwnedFd() = default;
    explicit OwnedFd(int fd) : m_fd(fd) {}
    ~OwnedFd() { Reset(); }
    OwnedFd(OwnedFd&& other) noexcept : m_fd(other.Release()) {}
    OwnedFd& operator=(OwnedFd&& other) noexcept {
      if (this != &other) Reset(other.Release());
      return *this;
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int Release() {
      const int fd = m_fd;
      m_fd = -1;
      return fd;
    }
    void Reset(int fd = -1) {
      if (m_fd >= 0) ::close(m_fd);
      m_fd = fd;
    }

   private:
    int m_fd = -1;
  };

  // What a wait for input ended with.
  enum class WaitResult { Readable, TimedOut, HungUp, Failed };

  CCommPort();
  virtual ~CCommPort();
  CCommPort(const CCommPort&) = delete;
  CCommPort& operator=(const CCommPort&) = delete;

  void LoadSettings();
  void SaveSettings();
  void SetPort(COMM_PORT port);
  void SetBaudSetting(uint32_t baudRate);
  bool ApplyLineSettings(uint32_t baudRate, uint8_t dataBits, uint8_t parity, uint8_t stopBits);
  bool OpenDevice();
  void CloseDevice();
  virtual int IsOpen() const;
  int ReadAvailable(uint8_t* buffer, int maximum);
  int WriteBlock(const uint8_t* buffer, int count);
  void PurgeAll();
  int SetDtr(bool on);
  static const char* GetPortName(COMM_PORT port);

  // Blocks until input is waiting or `timeoutMs` (unscaled) has passed.
  WaitResult WaitReadable(int timeoutMs);
  // Writes the stored line configuration to the open device.
  bool WriteLineConfig();
  // Records the queue sizes (the tty driver keeps its own buffers).
  bool SetQueueSizes(int inputSize, int outputSize);

  const Settings& settings() const { return m_settings; }
  const LineConfig& lineConfig() const { return m_line; }
  int currentPort() const { return m_currentPort; }
  int fd() const { return m_device.Get(); }
  // Why the latest OpenDevice failed, as an errno value (ENOENT: no port-map
  // entry or no device, EBUSY: another program holds the port, EACCES: no
  // permission); 0 after a successful open.
  int lastOpenError() const { return m_openError; }
  // The device path the latest open tried (the port-map entry's target, or
  // the entry itself when it points nowhere); empty when no entry exists.
  const char* lastOpenDevice() const { return m_openDevice; }
  // Forgets the latest open's failure (a new operation starts).
  void ClearOpenError() {
    m_openError = 0;
    m_openDevice[0] = '\0';
  }

 protected:
  Settings m_settings;
  OwnedFd m_device;
  int m_currentPort = 0;
  int m_open = 0;
  LineConfig m_line;
  int m_inputQueueSize = 4096;
  int m_outputQueueSize = 4096;
  int m_openError = 0;
  char m_openDevice[256] = {};

 private:
  bool LineErrorsSinceLastRead();
  void RecordOpenDevice(const std::filesystem::path& entry);
  struct LineErrorCounts {
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
  };
  LineErrorCounts m_errorCounts;
  bool m_errorCountersKept = false;  // the driver keeps line error counters (ptys and most USB ports do not)
};
