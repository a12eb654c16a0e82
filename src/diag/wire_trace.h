// Optional wire trace: when the settings name a trace file
// (ZKDOWNLOAD_TRACE), every frame and AT line sent and every frame received
// is appended to it, one line each: wall-clock time, direction, byte count,
// the bytes in hex and, after " | ", what they are (the command's name, its
// packet length and whether the check sequence holds; AT lines as text).
// Each run starts with a header; a request sent again unchanged is marked as
// a resend, an exchange that got no answer as a time-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace zk::diag {

enum class WireDirection { Sent, Received };
// What the bytes are: AT text, diagnostic frames or download-protocol frames.
enum class WireKind { AtLine, Diagnostic, Download };

class WireTrace {
 public:
  WireTrace() = default;
  ~WireTrace();
  WireTrace(const WireTrace&) = delete;
  WireTrace& operator=(const WireTrace&) = delete;

  // Traces into `path` from now on (appending, after a header naming the
  // time, the program and its arguments, and the library's version); empty
  // turns tracing off. The file is reopened only when the path changed.
  // False when the file cannot be opened.
  bool Configure(const std::string& path);
  void Record(WireDirection direction, WireKind kind, const uint8_t* bytes, std::size_t count);
  // A line of text among the frames ("NOTE <text>"): a port that would not
  // open, a time-out.
  void Note(const std::string& text);

  // What a frame is, as the trace describes it: "status (0x0C), 1 byte, check good".
  static std::string DescribeFrame(WireKind kind, std::span<const uint8_t> bytes);

 private:
  void WriteLine(const std::string& text);

  std::string m_path;
  std::FILE* m_file = nullptr;
  std::vector<uint8_t> m_lastSent;  // to mark a request sent again unchanged
};

}  // namespace zk::diag

// The library's trace (built in boundary/globals.cpp, configured from the
// settings at load and at every exported call).
extern zk::diag::WireTrace g_wireTrace;

namespace zk::diag {
inline void TraceWire(WireDirection direction, WireKind kind, const uint8_t* bytes, std::size_t count) {
  g_wireTrace.Record(direction, kind, bytes, count);
}
}  // namespace zk::diag
