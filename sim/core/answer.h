// A handler's reply to one request.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace rb310 {

class HandsetContext;

// The answer packet (empty: no answer) and what the handset does once the
// answer has gone out (it also happens when a fault drops the answer: the
// request took effect, only the answer was lost).
struct Answer {
  std::vector<uint8_t> packet;
  std::function<void(HandsetContext&, int64_t sentMs)> afterSend;
  std::string note{};  // for the transcript: why a packet was refused, what it changed
};

// The answer a real handset gives to a request it refuses: the error code
// followed by the request as received.
Answer ErrorAnswer(uint8_t errorCode, std::span<const uint8_t> request);
// The request echoed back unchanged.
Answer EchoAnswer(std::span<const uint8_t> request);

}  // namespace rb310
