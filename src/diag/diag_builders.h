// Request builders: each fills the start of `buffer` with one request of the
// table in diag_requests.h (command code first, every byte the request sends
// that carries no field set to 0) and returns exactly the bytes to send. A
// buffer too short for the request gets nothing written and an empty span
// back. Nothing here touches a port.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "diag/diag_requests.h"

namespace zk::diag {

using RequestBytes = std::span<const uint8_t>;

// A request that carries only its code (version, ESN, status, switch to the
// downloader).
RequestBytes BuildBareRequest(std::span<uint8_t> buffer, const RequestSpec& layout);
// `mode`: kModeOffline or kModeReset.
RequestBytes BuildModeControl(std::span<uint8_t> buffer, uint16_t mode);
// `lock`: kKeysRelease or kKeysLock.
RequestBytes BuildKeyLock(std::span<uint8_t> buffer, uint16_t lock);
RequestBytes BuildKeyPress(std::span<uint8_t> buffer, uint8_t key, uint8_t hold);
// The first six characters of `digits`; a shorter text is padded with zero
// bytes. `layout`: kSpcUnlock or kSpcSend.
RequestBytes BuildSpcRequest(std::span<uint8_t> buffer, const RequestSpec& layout, std::string_view digits);
RequestBytes BuildBaudChange(std::span<uint8_t> buffer, uint32_t rate);
RequestBytes BuildVendorQuery(std::span<uint8_t> buffer, uint16_t subCommand, uint8_t selector);

struct PrlWriteBlock {
  uint8_t sequence = 0;
  bool more = false;  // another block follows
  uint8_t nam = 0;
  uint16_t bits = 0;  // meaningful bits of the data field
  // The whole data field as it goes out: bytes past `bits` are sent too.
  std::span<const uint8_t, field::PrlWriteData::size> data;
};
RequestBytes BuildPrlWrite(std::span<uint8_t> buffer, const PrlWriteBlock& block);
RequestBytes BuildPrlRead(std::span<uint8_t> buffer, uint8_t sequence, uint8_t nam);

// An NV item read or write (`layout`: kNvRead or kNvWrite): the item number,
// up to 128 data bytes (the rest of the field zero) and a zero status.
RequestBytes BuildNvRequest(std::span<uint8_t> buffer, const RequestSpec& layout, uint16_t item,
                            std::span<const uint8_t> data);

}  // namespace zk::diag
