// Optional wire trace: when the settings name a trace file
// (ZKDOWNLOAD_TRACE), every frame sent and received is appended to it as hex
// with a timestamp and direction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zk::diag {

enum class WireDirection { Sent, Received };

class WireTrace {
 public:
  WireTrace() = default;
  ~WireTrace();
  WireTrace(const WireTrace&) = delete;
  WireTrace& operator=(const WireTrace&) = delete;

  // Traces into `path` from now on (appending); empty turns tracing off. The
  // file is reopened only when the path changed.
  void Configure(const std::string& path);
  void Record(WireDirection direction, const uint8_t* bytes, std::size_t count);
  // A line of text among the frames ("NOTE <text>"), e.g. why a port did not open.
  void Note(const std::string& text);

 private:
  std::string m_path;
  std::FILE* m_file = nullptr;
};

}  // namespace zk::diag

// The library's trace (built in boundary/globals.cpp, configured from the
// settings at load and at every exported call).
extern zk::diag::WireTrace g_wireTrace;

namespace zk::diag {
inline void TraceWire(WireDirection direction, const uint8_t* bytes, std::size_t count) {
  g_wireTrace.Record(direction, bytes, count);
}
}  // namespace zk::diag
