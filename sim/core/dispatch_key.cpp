#include "core/dispatch_key.h"

namespace rb310 {
namespace {

std::optional<uint8_t> ReadSubsystem(std::span<const uint8_t> request, const SubKeyLayout& layout) {
  if (!layout.subsystemOffset || *layout.subsystemOffset >= request.size()) return std::nullopt;
  return request[*layout.subsystemOffset];
}

std::optional<uint16_t> ReadSubcommand(std::span<const uint8_t> request, const SubKeyLayout& layout) {
  if (!layout.subcommandOffset || *layout.subcommandOffset + layout.subcommandBytes > request.size()) {
    return std::nullopt;
  }
  uint16_t value = 0;
  for (std::size_t i = layout.subcommandBytes; i-- > 0;) {
    value = static_cast<uint16_t>((value << 8) | request[*layout.subcommandOffset + i]);
  }
  return value;
}

}  // namespace

std::vector<DispatchKey> CandidateKeys(std::span<const uint8_t> request, const std::optional<SubKeyLayout>& layout) {
  const uint8_t code = request.empty() ? 0 : request[0];
  std::vector<DispatchKey> keys;
  if (layout) {
    const auto subsystem = ReadSubsystem(request, *layout);
    const bool subsystemReadable = subsystem || !layout->subsystemOffset;
    // A sub-command counts only under the subsystem it belongs to.
    if (const auto subcommand = ReadSubcommand(request, *layout); subcommand && subsystemReadable) {
      keys.emplace_back(code, subsystem, subcommand);
    }
    if (subsystem) keys.emplace_back(code, subsystem);
  }
  keys.emplace_back(code);
  return keys;
}

}  // namespace rb310
