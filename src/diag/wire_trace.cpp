#include "diag/wire_trace.h"

#include "platform/clock.h"

namespace zk::diag {

WireTrace::~WireTrace() {
  if (m_file != nullptr) std::fclose(m_file);
}

void WireTrace::Configure(const std::string& path) {
  if (path == m_path && (m_file != nullptr || path.empty())) return;
  if (m_file != nullptr) std::fclose(m_file);
  m_file = nullptr;
  m_path = path;
  if (!path.empty()) m_file = std::fopen(path.c_str(), "a");
}

void WireTrace::Record(WireDirection direction, const uint8_t* bytes, std::size_t count) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "%lld %s %zu:", static_cast<long long>(platform::NowMs()),
               direction == WireDirection::Sent ? "TX" : "RX", count);
  for (std::size_t i = 0; i < count; ++i) std::fprintf(m_file, " %02X", bytes[i]);
  std::fputc('\n', m_file);
  std::fflush(m_file);
}

void WireTrace::Note(const std::string& text) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "%lld NOTE %s\n", static_cast<long long>(platform::NowMs()), text.c_str());
  std::fflush(m_file);
}

}  // namespace zk::diag
