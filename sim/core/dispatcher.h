// Table-driven dispatch of received requests to the handlers services
// register. Keys are command codes, or a code with a subsystem and a
// sub-command for a request family that declared its sub-key layout; a
// request goes to the most specific key registered for it.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "core/answer.h"
#include "core/dispatch_key.h"

namespace rb310 {

using CommandHandler = std::function<Answer(HandsetContext&, std::span<const uint8_t> request)>;

// Describes a request for the transcript: the address and length of a block
// it carries, nullopt when it carries none.
struct BlockFields {
  uint32_t address = 0;
  uint16_t length = 0;
};
using RequestDescriber = std::function<std::optional<BlockFields>(std::span<const uint8_t> request)>;

struct Command {
  std::string name;
  std::size_t minLength = 1;  // shorter requests get the bad-length answer
  bool guarded = false;       // refused with the bad-security-mode answer while the guard says no
  CommandHandler handler;
  RequestDescriber describe{};  // unset: nothing beyond the bytes goes into the transcript
};

class Dispatcher {
 public:
  // Adds or replaces the entry for `key`.
  void Add(DispatchKey key, Command command) { commands_.insert_or_assign(key, std::move(command)); }
  void Remove(DispatchKey key) { commands_.erase(key); }
  // The entry registered for exactly `key`.
  const Command* Find(DispatchKey key) const;

  // Declares that requests with command code `code` carry a sub-key.
  void AddFamily(uint8_t code, SubKeyLayout layout) { families_.insert_or_assign(code, layout); }
  // The most specific entry for `request`; nullptr when none matches.
  const Command* Match(std::span<const uint8_t> request) const;

  // What answers a request without an entry; unset: no answer.
  void SetFallback(CommandHandler handler) { fallback_ = std::move(handler); }
  // Whether guarded commands may run now; unset: always.
  void SetGuard(std::function<bool()> allows) { guard_ = std::move(allows); }

  // Checks the request's length and the guard, then runs its handler (or
  // the fallback).
  Answer Dispatch(HandsetContext& context, std::span<const uint8_t> request) const;

 private:
  std::map<DispatchKey, Command> commands_;
  std::map<uint8_t, SubKeyLayout> families_;
  CommandHandler fallback_;
  std::function<bool()> guard_;
};

// The two command sets a handset answers, one per personality that takes
// frames.
struct Dispatchers {
  Dispatcher diagnostic;  // diagnostic mode
  Dispatcher downloader;  // after the switch to the downloader
};

}  // namespace rb310
