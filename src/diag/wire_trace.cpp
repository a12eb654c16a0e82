#include "diag/wire_trace.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clock.h"

namespace zk::diag {
namespace {

// The open trace file, reopened when the variable names another file.
struct TraceFile {
  std::string path;
  std::FILE* file = nullptr;
  ~TraceFile() {
    if (file != nullptr) std::fclose(file);
  }
};

std::FILE* CurrentTraceFile() {
  static TraceFile trace;
  const char* wanted = std::getenv("ZKDOWNLOAD_TRACE");
  if (wanted == nullptr || *wanted == '\0') return nullptr;
  if (trace.file == nullptr || trace.path != wanted) {
    if (trace.file != nullptr) std::fclose(trace.file);
    trace.path = wanted;
    trace.file = std::fopen(wanted, "a");
  }
  return trace.file;
}

}  // namespace

void TraceWire(WireDirection direction, const uint8_t* bytes, std::size_t count) {
  std::FILE* file = CurrentTraceFile();
  if (file == nullptr) return;
  std::fprintf(file, "%lld %s %zu:", static_cast<long long>(platform::NowMs()),
               direction == WireDirection::Sent ? "TX" : "RX", count);
  for (std::size_t i = 0; i < count; ++i) std::fprintf(file, " %02X", bytes[i]);
  std::fputc('\n', file);
  std::fflush(file);
}

}  // namespace zk::diag
