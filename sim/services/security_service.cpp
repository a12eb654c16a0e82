#include "services/security_service.h"

#include "core/byte_order.h"
#include "services/diag_codes.h"

namespace rb310 {
namespace {

constexpr std::size_t kSpcDigits = 6;
constexpr std::size_t kSpcDigitsOffset = 1;
constexpr std::size_t kKeyLockOffset = 1;
constexpr std::size_t kKeyCodeOffset = 2;

}  // namespace

void SecurityService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  diagnostic.Add(diag::kSpc, {"spc", diag::kSpcRequestSize, false, Handler(this, &SecurityService::Spc)});
  diagnostic.Add(diag::kKeyLock, {"key lock", diag::kKeyRequestSize, false, Handler(this, &SecurityService::KeyLock)});
  diagnostic.Add(diag::kKeyPress,
                 {"key press", diag::kKeyRequestSize, false, Handler(this, &SecurityService::KeyPress)});
  diagnostic.SetGuard([this] { return WritesAllowed(); });
}

void SecurityService::OnRestart() {
  spcUnlocked_ = false;
  keypadReleased_ = false;
}

Answer SecurityService::Spc(HandsetContext&, std::span<const uint8_t> request) {
  const std::string& code = options_.spc;
  bool accepted = code.size() >= kSpcDigits;
  for (std::size_t i = 0; accepted && i < kSpcDigits; ++i) {
    accepted = request[kSpcDigitsOffset + i] == static_cast<uint8_t>(code[i]);
  }
  spcUnlocked_ = accepted;
  std::vector<uint8_t> packet{diag::kSpc, static_cast<uint8_t>(accepted ? 1 : 0)};
  return Answer{std::move(packet), {}};
}

Answer SecurityService::KeyLock(HandsetContext&, std::span<const uint8_t> request) {
  const uint16_t lock = GetLe16(request, kKeyLockOffset);
  if (lock > 1) return ErrorAnswer(diag::kBadParameter, request);
  keypadReleased_ = lock == 0;
  return EchoAnswer(request.first(diag::kKeyRequestSize));
}

Answer SecurityService::KeyPress(HandsetContext&, std::span<const uint8_t> request) {
  // A locked keypad ignores remote presses but still answers them.
  if (keypadReleased_) keysPressed_.push_back(request[kKeyCodeOffset]);
  return EchoAnswer(request.first(diag::kKeyRequestSize));
}

}  // namespace rb310
