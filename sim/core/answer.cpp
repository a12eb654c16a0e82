#include "core/answer.h"

namespace rb310 {

Answer ErrorAnswer(uint8_t errorCode, std::span<const uint8_t> request) {
  Answer answer;
  answer.packet.reserve(request.size() + 1);
  answer.packet.push_back(errorCode);
  answer.packet.insert(answer.packet.end(), request.begin(), request.end());
  return answer;
}

Answer EchoAnswer(std::span<const uint8_t> request) {
  return Answer{std::vector<uint8_t>(request.begin(), request.end()), {}};
}

}  // namespace rb310
