// Optional wire trace: when ZKDOWNLOAD_TRACE names a file, every frame sent
// and received is appended to it as hex with a timestamp and direction.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::diag {

enum class WireDirection { Sent, Received };

void TraceWire(WireDirection direction, const uint8_t* bytes, std::size_t count);

}  // namespace zk::diag
