#include "core/dispatcher.h"

#include "core/error_codes.h"

namespace rb310 {

const Command* Dispatcher::Find(DispatchKey key) const {
  const auto found = commands_.find(key);
  return found == commands_.end() ? nullptr : &found->second;
}

const Command* Dispatcher::Match(std::span<const uint8_t> request) const {
  if (request.empty()) return nullptr;
  const auto family = families_.find(request[0]);
  const std::optional<SubKeyLayout> layout =
      family == families_.end() ? std::nullopt : std::optional<SubKeyLayout>(family->second);
  for (const DispatchKey& key : CandidateKeys(request, layout)) {
    if (const Command* command = Find(key)) return command;
  }
  return nullptr;
}

Answer Dispatcher::Dispatch(HandsetContext& context, std::span<const uint8_t> request) const {
  const Command* command = Match(request);
  if (command == nullptr) return fallback_ ? fallback_(context, request) : Answer{};
  if (request.size() < command->minLength) return ErrorAnswer(diag::kBadLength, request);
  if (command->guarded && guard_ && !guard_()) return ErrorAnswer(diag::kBadSecurityMode, request);
  return command->handler(context, request);
}

}  // namespace rb310
