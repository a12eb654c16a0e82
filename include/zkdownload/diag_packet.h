// Request and response buffers of the diagnostic link. Each is a view of raw
// packet bytes whose first byte is the command code; fields are read and
// written at explicit offsets (little-endian for diagnostic packets).
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kDiagRequestBufferSize = 3016;
inline constexpr std::size_t kDiagResponseBufferSize = 2512;

union diag_req_type {
  uint8_t cmd_code;
  uint8_t bytes[kDiagRequestBufferSize];
};

union diag_rsp_type {
  uint8_t cmd_code;
  uint8_t bytes[kDiagResponseBufferSize];
};

struct diag_req_pkt_type {
  diag_req_type req;
};

struct diag_rsp_pkt_type {
  diag_rsp_type rsp;
};

static_assert(sizeof(diag_req_pkt_type) == 3016);
static_assert(sizeof(diag_rsp_pkt_type) == 2512);
