// What a request is dispatched by. Most requests by their command code alone;
// a request family under one code carries a sub-key of its own: a subsystem
// id and a sub-command (subsystem dispatch), or an operation byte alone (an
// older family). Where a family keeps its sub-key is its layout.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

struct DispatchKey {
  uint8_t code = 0;
  std::optional<uint8_t> subsystem;
  std::optional<uint16_t> subcommand;

  DispatchKey(uint8_t commandCode) : code(commandCode) {}  // implicit: a bare code is a key
  DispatchKey(uint8_t commandCode, std::optional<uint8_t> subsystemId, std::optional<uint16_t> subCommand = {})
      : code(commandCode), subsystem(subsystemId), subcommand(subCommand) {}

  auto operator<=>(const DispatchKey&) const = default;
};

// Where a family's sub-key lies in its requests.
struct SubKeyLayout {
  std::optional<std::size_t> subsystemOffset;   // one byte
  std::optional<std::size_t> subcommandOffset;  // `subcommandBytes` bytes, little-endian
  std::size_t subcommandBytes = 1;
};

// The keys a request can match, most specific first: with its subsystem and
// sub-command, with its subsystem alone, with its code alone. A field the
// request is too short to carry is left out, and so are the keys needing it.
std::vector<DispatchKey> CandidateKeys(std::span<const uint8_t> request, const std::optional<SubKeyLayout>& layout);

}  // namespace rb310
