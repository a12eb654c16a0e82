// Table-driven dispatch of received packets by command code. The diagnostic
// command set fills one table; the downloader (and later request families)
// fill their own.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rb310 {

class Handset;

// A handler's reply: the answer packet (empty: no answer) and what the
// handset does once the answer has gone out (it also happens when a fault
// drops the answer: the request took effect, only the answer was lost).
struct Answer {
  std::vector<uint8_t> packet;
  std::function<void(Handset&, int64_t sentMs)> afterSend;
  std::string note{};  // for the transcript: why a packet was refused, what it changed
};

using CommandHandler = std::function<Answer(Handset&, std::span<const uint8_t> request)>;

struct Command {
  std::string name;
  std::size_t minLength = 1;  // shorter requests get the bad-length answer
  bool guarded = false;       // needs the SPC when the handset is set to insist on it
  CommandHandler handler;
};

class CommandTable {
 public:
  void Add(uint8_t code, Command command) { commands_[code] = std::move(command); }
  void Remove(uint8_t code) { commands_[code].reset(); }
  const Command* Find(uint8_t code) const { return commands_[code] ? &*commands_[code] : nullptr; }

  // What answers a code without an entry; unset: no answer.
  void SetFallback(CommandHandler handler) { fallback_ = std::move(handler); }
  const CommandHandler& fallback() const { return fallback_; }

 private:
  std::array<std::optional<Command>, 256> commands_;
  CommandHandler fallback_;
};

// The answer a real handset gives to a request it refuses: the error code
// followed by the request as received.
Answer ErrorAnswer(uint8_t errorCode, std::span<const uint8_t> request);
// The request echoed back unchanged.
Answer EchoAnswer(std::span<const uint8_t> request);

}  // namespace rb310
