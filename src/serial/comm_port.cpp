// CCommPort over termios. The port name is resolved through the port map;
// the device is opened non-blocking and exclusive, runs raw and never uses
// hardware or software flow control.
#include "zkdownload/comm_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/cancel.h"
#include "platform/clock.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "serial/settings_tables.h"
#include "serial/tty_device.h"

namespace {

using namespace zk::serial;

constexpr const char* kSection = "CommPort Settings";
constexpr int kWriteTimeoutMs = 20000;

}  // namespace

CCommPort::CCommPort() { m_errorCounts = {}; }

CCommPort::~CCommPort() { CloseDevice(); }

void CCommPort::LoadSettings() {
  const auto profile = zk::platform::Profile::Default();
  const int baud = profile.GetInt(kSection, "BaudRate", kDefaultBaudPosition);
  const int dataBits = profile.GetInt(kSection, "DataBits", kDefaultDataBitsPosition);
  const int parity = profile.GetInt(kSection, "Parity", kDefaultParityPosition);
  const int port = profile.GetInt(kSection, "Port", 0);
  const int rtsCts = profile.GetInt(kSection, "RTSCTS", 1);
  const int stopBits = profile.GetInt(kSection, "StopBits", kDefaultStopBitsPosition);
  const int xonXoff = profile.GetInt(kSection, "XONXOFF", 1);
  const int dtrDsr = profile.GetInt(kSection, "DTRDSR", 1);

  // A position outside its table (a hand-edited or damaged profile) falls
  // back to that key's default rather than reading past the table.
  m_settings.baudRate = ValueAt(kBaudRates, baud, kDefaultBaudPosition);
  m_settings.dataBits = static_cast<uint8_t>(ValueAt(kDataBits, dataBits, kDefaultDataBitsPosition));
  m_settings.parity = static_cast<uint8_t>(ValueAt(kParities, parity, kDefaultParityPosition));
  m_settings.port = (port >= 0 && port < kPortCount) ? static_cast<uint32_t>(port) : 0;
  m_currentPort = static_cast<int>(m_settings.port);
  m_settings.rtsCts = static_cast<uint32_t>(rtsCts);
  m_settings.stopBits = static_cast<uint8_t>(ValueAt(kStopBits, stopBits, kDefaultStopBitsPosition));
  m_settings.xonXoff = static_cast<uint32_t>(xonXoff);
  m_settings.dtrDsr = static_cast<uint32_t>(dtrDsr);
}

void CCommPort::SaveSettings() {
  const auto profile = zk::platform::Profile::Default();
  // A value missing from its table is saved as its key's default position,
  // so the profile never holds -1.
  const auto positionOr = [](int position, int fallback) { return position >= 0 ? position : fallback; };
  profile.WriteInt(kSection, "BaudRate", positionOr(PositionOf(kBaudRates, m_settings.baudRate), kDefaultBaudPosition));
  profile.WriteInt(kSection, "DataBits",
                   positionOr(PositionOf(kDataBits, m_settings.dataBits), kDefaultDataBitsPosition));
  profile.WriteInt(kSection, "Parity", positionOr(PositionOf(kParities, m_settings.parity), kDefaultParityPosition));
  profile.WriteInt(kSection, "Port", static_cast<int>(m_settings.port));
  profile.WriteInt(kSection, "RTSCTS", static_cast<int>(m_settings.rtsCts));
  profile.WriteInt(kSection, "StopBits",
                   positionOr(PositionOf(kStopBits, m_settings.stopBits), kDefaultStopBitsPosition));
  profile.WriteInt(kSection, "XONXOFF", static_cast<int>(m_settings.xonXoff));
  profile.WriteInt(kSection, "DTRDSR", static_cast<int>(m_settings.dtrDsr));
}

void CCommPort::SetPort(COMM_PORT port) {
  m_settings.port = static_cast<uint32_t>(port);
  m_currentPort = static_cast<int>(port);
}

void CCommPort::SetBaudSetting(uint32_t baudRate) { m_settings.baudRate = baudRate; }

bool CCommPort::ApplyLineSettings(uint32_t baudRate, uint8_t dataBits, uint8_t parity, uint8_t stopBits) {
  m_line.eventChar = 0x7E;
  m_line.baudRate = baudRate;
  m_line.byteSize = dataBits;
  m_line.parity = parity;
  m_line.stopBits = stopBits;
  m_line.dsrOutFlow = false;
  m_line.dtrHandshake = false;
  m_line.dtrOn = true;
  m_line.ctsOutFlow = false;
  m_line.rtsOn = true;
  m_line.xonXoffOut = false;
  m_line.xonXoffIn = false;
  m_line.xonChar = 0x11;
  m_line.xoffChar = 0x13;
  m_line.binary = true;
  m_line.parityCheck = true;
  return WriteLineConfig();
}

bool CCommPort::WriteLineConfig() {
  if (m_device.Get() < 0) return false;  // closed: only the stored configuration changed
  const zk::serial::tty::LineParams params{m_line.baudRate, m_line.byteSize, m_line.parity, m_line.stopBits};
  return zk::serial::tty::ApplyRawLine(m_device.Get(), params);
}

bool CCommPort::OpenDevice() {
  if (m_open) return false;
  m_openError = 0;
  m_openDevice[0] = '\0';
  const auto entry = zk::platform::PortMapEntry(GetPortName(static_cast<COMM_PORT>(m_settings.port)));
  if (!entry) {
    m_openError = ENOENT;  // the name is no COM port
    return false;
  }
  RecordOpenDevice(*entry);

  OwnedFd device(::open(entry->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!device) {
    m_openError = errno;
    return false;
  }
  // Exclusive use: TIOCEXCL keeps other opens out (root excepted), the lock
  // also covers programs that run as root.
  if (flock(device.Get(), LOCK_EX | LOCK_NB) != 0) {
    m_openError = errno == EWOULDBLOCK ? EBUSY : errno;
    return false;
  }
  zk::serial::tty::SetExclusive(device.Get());

  m_device = std::move(device);
  m_open = 1;
  SetQueueSizes(4096, 4096);
  if (!ApplyLineSettings(m_settings.baudRate, m_settings.dataBits, m_settings.parity, m_settings.stopBits)) {
    m_openError = errno != 0 ? errno : EIO;
    m_open = 0;
    zk::serial::tty::ClearExclusive(m_device.Get());
    m_device.Reset();
    return false;
  }
  SetDtr(true);
  const auto counts = zk::serial::tty::ReadErrorCounters(m_device.Get());
  m_errorCountersKept = counts.has_value();  // asked once per open, not before every read
  if (counts) m_errorCounts = {counts->frame, counts->overrun, counts->parity, counts->brk, counts->bufOverrun};
  PurgeAll();
  return true;
}

void CCommPort::RecordOpenDevice(const std::filesystem::path& entry) {
  // The device the entry points at names the port best in a message; a
  // dangling entry is named itself.
  std::error_code error;
  const auto target = std::filesystem::read_symlink(entry, error);
  const std::string shown = error ? entry.string() : target.string();
  const std::size_t count = std::min(shown.size(), sizeof(m_openDevice) - 1);
  std::memcpy(m_openDevice, shown.data(), count);
  m_openDevice[count] = '\0';
}

void CCommPort::CloseDevice() {
  if (!m_open) return;
  m_open = 0;
  SetDtr(false);
  PurgeAll();
  zk::serial::tty::ClearExclusive(m_device.Get());
  m_device.Reset();
}

int CCommPort::IsOpen() const { return m_open; }

bool CCommPort::LineErrorsSinceLastRead() {
  if (!m_errorCountersKept) return false;
  const auto counts = zk::serial::tty::ReadErrorCounters(m_device.Get());
  if (!counts) return false;
  const LineErrorCounts now{counts->frame, counts->overrun, counts->parity, counts->brk, counts->bufOverrun};
  const bool changed = now.frame != m_errorCounts.frame || now.overrun != m_errorCounts.overrun ||
                       now.parity != m_errorCounts.parity || now.brk != m_errorCounts.brk ||
                       now.bufOverrun != m_errorCounts.bufOverrun;
  m_errorCounts = now;  // reading the counters clears the error state
  return changed;
}

int CCommPort::ReadAvailable(uint8_t* buffer, int maximum) {
  if (m_device.Get() < 0 || maximum <= 0) return 0;
  // Bytes that arrived with a line error (overrun, framing, parity, break)
  // are not trusted: this read yields nothing, the next one goes on.
  if (LineErrorsSinceLastRead()) return 0;
  // The descriptor is non-blocking: a read takes what is waiting, up to
  // `maximum`, and nothing (EAGAIN) when nothing is.
  ssize_t got;
  do {
    got = ::read(m_device.Get(), buffer, static_cast<size_t>(maximum));
  } while (got < 0 && errno == EINTR);
  return got > 0 ? static_cast<int>(got) : 0;
}

int CCommPort::WriteBlock(const uint8_t* buffer, int count) {
  if (m_device.Get() < 0 || count <= 0) return 0;
  const zk::platform::Deadline deadline(kWriteTimeoutMs);
  int written = 0;
  while (written < count) {
    const ssize_t n = ::write(m_device.Get(), buffer + written, static_cast<size_t>(count - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return 0;
    // Output queue full: wait for room until the write time-out.
    const int left = deadline.RemainingMs(1000);
    if (left == 0) return 0;
    if (zk::platform::CancelRequested()) return 0;
    pollfd fds[2] = {{m_device.Get(), POLLOUT, 0}, {zk::platform::CancelWakeFd(), POLLIN, 0}};
    if (::poll(fds, fds[1].fd >= 0 ? 2 : 1, left) < 0 && errno != EINTR) return 0;
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return 0;
  }
  return written;
}

void CCommPort::PurgeAll() {
  if (m_device.Get() >= 0) zk::serial::tty::FlushBoth(m_device.Get());
}

int CCommPort::SetDtr(bool on) {
  if (m_line.dtrHandshake) return 2;
  m_line.dtrOn = on;
  // USB modem ports and ptys may have no modem lines; that is not an error.
  if (m_device.Get() >= 0) zk::serial::tty::SetDtrLine(m_device.Get(), on);
  return 0;
}

CCommPort::WaitResult CCommPort::WaitReadable(int timeoutMs) {
  if (m_device.Get() < 0) return WaitResult::Failed;
  // A host's cancel wakes the wait and ends the exchange like a lost port.
  if (zk::platform::CancelRequested()) return WaitResult::Failed;
  pollfd fds[2] = {{m_device.Get(), POLLIN, 0}, {zk::platform::CancelWakeFd(), POLLIN, 0}};
  const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
  const int ready = ::poll(fds, count, std::max(timeoutMs, 0));
  if (ready < 0) return errno == EINTR ? WaitResult::TimedOut : WaitResult::Failed;
  if (ready == 0) return WaitResult::TimedOut;
  if (zk::platform::CancelRequested()) return WaitResult::Failed;
  const pollfd& pfd = fds[0];
  if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
    // A vanished device (pty master closed, USB unplugged) stays "ready"
    // forever; report it instead of letting the caller spin on it.
    return zk::serial::tty::BytesWaiting(m_device.Get()) > 0 ? WaitResult::Readable : WaitResult::HungUp;
  }
  return (pfd.revents & POLLIN) ? WaitResult::Readable : WaitResult::TimedOut;
}

bool CCommPort::SetQueueSizes(int inputSize, int outputSize) {
  if (m_device.Get() < 0 || inputSize <= 0 || outputSize <= 0) return false;
  m_inputQueueSize = inputSize;
  m_outputQueueSize = outputSize;
  return true;
}
