#include "diag/diag_builders.h"

#include <algorithm>

namespace zk::diag {
namespace {

// Whether every field `Fields` lies inside a request of `layout`'s length.
template <class... Fields>
constexpr bool Inside(const RequestSpec& layout) {
  return ((Fields::end <= static_cast<std::size_t>(layout.length)) && ...);
}

// Clears the request's bytes and writes its code; empty when the buffer is
// too short.
std::span<uint8_t> Start(std::span<uint8_t> buffer, const RequestSpec& layout) {
  const auto length = static_cast<std::size_t>(layout.length);
  if (buffer.size() < length) return {};
  const auto request = buffer.first(length);
  std::fill(request.begin(), request.end(), uint8_t{0});
  Write<field::Code>(request, layout.code);
  return request;
}

}  // namespace

RequestBytes BuildBareRequest(std::span<uint8_t> buffer, const RequestSpec& layout) { return Start(buffer, layout); }

RequestBytes BuildModeControl(std::span<uint8_t> buffer, uint16_t mode) {
  static_assert(Inside<field::ModeControlMode>(request::kModeOffline) &&
                request::kModeOffline.length == request::kModeReset.length);
  const auto request = Start(buffer, request::kModeOffline);
  Write<field::ModeControlMode>(request, mode);
  return request;
}

RequestBytes BuildKeyLock(std::span<uint8_t> buffer, uint16_t lock) {
  static_assert(Inside<field::KeyLockValue>(request::kKeyLock));
  const auto request = Start(buffer, request::kKeyLock);
  Write<field::KeyLockValue>(request, lock);
  return request;
}

RequestBytes BuildKeyPress(std::span<uint8_t> buffer, uint8_t key, uint8_t hold) {
  static_assert(Inside<field::KeyPressHold, field::KeyPressCode>(request::kKeyPress));
  const auto request = Start(buffer, request::kKeyPress);
  Write<field::KeyPressHold>(request, hold);
  Write<field::KeyPressCode>(request, key);
  return request;
}

RequestBytes BuildSpcRequest(std::span<uint8_t> buffer, const RequestSpec& layout, std::string_view digits) {
  static_assert(Inside<field::SpcDigits>(request::kSpcUnlock) && Inside<field::SpcDigits>(request::kSpcSend));
  const auto request = Start(buffer, layout);
  const auto count = std::min(digits.size(), field::SpcDigits::size);
  Write<field::SpcDigits>(request, std::span(reinterpret_cast<const uint8_t*>(digits.data()), count));
  return request;
}

RequestBytes BuildBaudChange(std::span<uint8_t> buffer, uint32_t rate) {
  static_assert(Inside<field::BaudSelector, field::BaudRate>(request::kBaudChange));
  const auto request = Start(buffer, request::kBaudChange);
  Write<field::BaudSelector>(request, kBaudSelector);
  Write<field::BaudRate>(request, rate);
  return request;
}

RequestBytes BuildVendorQuery(std::span<uint8_t> buffer, uint16_t subCommand, uint8_t selector) {
  static_assert(Inside<field::VendorSubCommand, field::VendorSelector, field::VendorSpare>(request::kVendorQuery));
  const auto request = Start(buffer, request::kVendorQuery);
  Write<field::VendorSubCommand>(request, subCommand);
  Write<field::VendorSelector>(request, selector);
  Write<field::VendorSpare>(request, kVendorSpare);
  return request;
}

RequestBytes BuildPrlWrite(std::span<uint8_t> buffer, const PrlWriteBlock& block) {
  static_assert(Inside<field::PrlWriteSequence, field::PrlWriteMore, field::PrlWriteNam, field::PrlWriteBits,
                       field::PrlWriteData>(request::kPrlWrite));
  const auto request = Start(buffer, request::kPrlWrite);
  Write<field::PrlWriteSequence>(request, block.sequence);
  Write<field::PrlWriteMore>(request, block.more ? kPrlMoreBlocks : kPrlLastBlock);
  Write<field::PrlWriteNam>(request, block.nam);
  Write<field::PrlWriteBits>(request, block.bits);
  Write<field::PrlWriteData>(request, block.data);
  return request;
}

RequestBytes BuildPrlRead(std::span<uint8_t> buffer, uint8_t sequence, uint8_t nam) {
  static_assert(Inside<field::PrlReadSequence, field::PrlReadNam>(request::kPrlRead));
  const auto request = Start(buffer, request::kPrlRead);
  Write<field::PrlReadSequence>(request, sequence);
  Write<field::PrlReadNam>(request, nam);
  return request;
}

RequestBytes BuildNvRequest(std::span<uint8_t> buffer, const RequestSpec& layout, uint16_t item,
                            std::span<const uint8_t> data) {
  static_assert(Inside<field::NvItem, field::NvData, field::NvStatus>(request::kNvRead) &&
                Inside<field::NvItem, field::NvData, field::NvStatus>(request::kNvWrite));
  const auto request = Start(buffer, layout);
  Write<field::NvItem>(request, item);
  Write<field::NvData>(request, data);
  return request;
}

}  // namespace zk::diag
