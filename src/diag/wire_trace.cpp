#include "diag/wire_trace.h"

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>

#include "diag/crc16.h"
#include "diag/frame_codec.h"

namespace zk::diag {
namespace {

struct CodeName {
  uint8_t code;
  const char* name;
};

// clang-format off
constexpr CodeName kDiagnosticNames[] = {
    {0x00, "version"}, {0x01, "ESN"}, {0x0C, "status"}, {0x13, "refused: bad command"},
    {0x14, "refused: bad parameters"}, {0x15, "refused: bad length"}, {0x20, "key press"}, {0x21, "key lock"},
    {0x26, "NV read"}, {0x27, "NV write"}, {0x29, "mode control"}, {0x3A, "switch to downloader"},
    {0x41, "SPC"}, {0x42, "refused: security"}, {0x48, "PRL write"}, {0x49, "PRL read"},
    {0x4B, "subsystem"}, {0x59, "file system"}, {0x5C, "baud change"}, {0xFA, "vendor query"},
};
constexpr CodeName kDownloadNames[] = {
    {0x01, "write block"}, {0x02, "acknowledge"}, {0x03, "refused (NAK)"}, {0x04, "erase"}, {0x0A, "reset"},
    {0x20, "boot initialize"}, {0x21, "initialize"}, {0x22, "boot erase"}, {0x25, "finalize"}, {0x26, "EFS erase"},
    {0x28, "boot image initialize"}, {0x29, "select rate"},
};
// clang-format on

template <std::size_t N>
const char* NameOf(const CodeName (&table)[N], uint8_t code) {
  for (const auto& row : table)
    if (row.code == code) return row.name;
  return "unknown";
}

std::string WallClock() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof(text) - length, ".%03lld", static_cast<long long>(ms));
  return text;
}

std::string CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string text, argument;
  while (std::getline(in, argument, '\0')) text += (text.empty() ? "" : " ") + argument;
  return text;
}

std::string AtText(std::span<const uint8_t> bytes) {
  std::string text = "AT line \"";
  for (const uint8_t byte : bytes) {
    if (byte == '\r') text += "\\r";
    else if (byte == '\n') text += "\\n";
    else text += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '?';
  }
  return text + "\"";
}

}  // namespace

WireTrace::~WireTrace() {
  if (m_file != nullptr) std::fclose(m_file);
}

bool WireTrace::Configure(const std::string& path) {
  if (path == m_path && (m_file != nullptr || path.empty())) return true;
  if (m_file != nullptr) std::fclose(m_file);
  m_file = nullptr;
  m_path = path;
  m_lastSent.clear();
  if (path.empty()) return true;
  m_file = std::fopen(path.c_str(), "a");
  if (m_file == nullptr) return false;
  std::fprintf(m_file, "# zkdownload wire trace, %s, library %s, pid %d: %s\n", WallClock().c_str(), ZK_VERSION,
               static_cast<int>(getpid()), CommandLine().c_str());
  std::fflush(m_file);
  return true;
}

std::string WireTrace::DescribeFrame(WireKind kind, std::span<const uint8_t> bytes) {
  if (kind == WireKind::AtLine) return AtText(bytes);
  // Lead-in flags (download mode) and the final flag frame nothing.
  while (!bytes.empty() && bytes.front() == kFlag) bytes = bytes.subspan(1);
  if (!bytes.empty() && bytes.back() == kFlag) bytes = bytes.first(bytes.size() - 1);
  if (bytes.empty()) return "flags only";
  std::vector<uint8_t> packet(bytes.size());
  const DecodeResult decoded = DecodeFrame(bytes.data(), bytes.size(), packet.data());
  if (decoded.length < 3) return "too short for a packet";
  const std::size_t length = decoded.length - 2;
  const uint8_t code = packet[0];
  const char* name = kind == WireKind::Download ? NameOf(kDownloadNames, code) : NameOf(kDiagnosticNames, code);
  char text[128];
  std::snprintf(text, sizeof(text), "%s (0x%02X), %zu byte%s, check %s", name, code, length, length == 1 ? "" : "s",
                decoded.good ? "good" : "BAD");
  return text;
}

void WireTrace::WriteLine(const std::string& text) {
  const std::string line = WallClock() + " " + text + "\n";
  std::fwrite(line.data(), 1, line.size(), m_file);
  std::fflush(m_file);
}

void WireTrace::Record(WireDirection direction, WireKind kind, const uint8_t* bytes, std::size_t count) {
  if (m_file == nullptr) return;
  const bool sent = direction == WireDirection::Sent;
  std::string text = std::string(sent ? "TX " : "RX ") + std::to_string(count) + ":";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < count; ++i) {
    text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  text += " | " + DescribeFrame(kind, {bytes, count});
  if (sent) {
    const std::vector<uint8_t> now(bytes, bytes + count);
    if (kind != WireKind::AtLine && now == m_lastSent) text += " (resend)";
    m_lastSent = now;
  }
  WriteLine(text);
}

void WireTrace::Note(const std::string& text) {
  if (m_file == nullptr) return;
  WriteLine("NOTE " + text);
}

}  // namespace zk::diag
