// Byte layouts as types: each field of a packet is named once, with its
// offset, its width and its byte order, and read or written only through
// that name. A value of another width than the field's does not compile, and
// a field that lies past the end of the bytes at hand is neither read
// (nullopt) nor written (false): a decoder never trusts a length it was sent.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "diag/byte_order.h"

namespace zk::diag {

enum class ByteOrder { kLittle, kBig };

// An unsigned integer of 1, 2 or 4 bytes at `Offset`.
template <class T, std::size_t Offset, ByteOrder Order>
struct Field {
  static_assert(std::same_as<T, uint8_t> || std::same_as<T, uint16_t> || std::same_as<T, uint32_t>,
                "a field is an unsigned integer of 1, 2 or 4 bytes");
  using type = T;
  static constexpr std::size_t offset = Offset;
  static constexpr std::size_t size = sizeof(T);
  static constexpr std::size_t end = Offset + sizeof(T);
  static constexpr ByteOrder order = Order;
};

template <std::size_t Offset>
using U8 = Field<uint8_t, Offset, ByteOrder::kLittle>;
template <std::size_t Offset>
using Le16 = Field<uint16_t, Offset, ByteOrder::kLittle>;
template <std::size_t Offset>
using Le32 = Field<uint32_t, Offset, ByteOrder::kLittle>;
template <std::size_t Offset>
using Be16 = Field<uint16_t, Offset, ByteOrder::kBig>;
template <std::size_t Offset>
using Be32 = Field<uint32_t, Offset, ByteOrder::kBig>;

// `Size` raw bytes at `Offset` (texts, data blocks).
template <std::size_t Offset, std::size_t Size>
struct ByteRun {
  static constexpr std::size_t offset = Offset;
  static constexpr std::size_t size = Size;
  static constexpr std::size_t end = Offset + Size;
};

// Every byte from `Offset` to the end of the packet (data whose length the
// packet's own length decides).
template <std::size_t Offset>
struct Tail {
  static constexpr std::size_t offset = Offset;
  static constexpr std::size_t end = Offset;  // the least a packet must hold
};

template <class F>
concept IntegerField = requires {
  typename F::type;
  requires std::same_as<F, Field<typename F::type, F::offset, F::order>>;
};
template <class R>
concept ByteRunField = std::same_as<R, ByteRun<R::offset, R::size>>;
template <class R>
concept TailField = std::same_as<R, Tail<R::offset>>;

// True when `bytes` is long enough to hold the field.
template <class F>
constexpr bool Holds(std::span<const uint8_t> bytes) {
  return bytes.size() >= F::end;
}

template <IntegerField F>
[[nodiscard]] std::optional<typename F::type> Read(std::span<const uint8_t> bytes) {
  if (!Holds<F>(bytes)) return std::nullopt;
  using T = typename F::type;
  if constexpr (sizeof(T) == 1) {
    return Get8(bytes, F::offset);
  } else if constexpr (sizeof(T) == 2) {
    return F::order == ByteOrder::kLittle ? GetLe16(bytes, F::offset) : GetBe16(bytes, F::offset);
  } else {
    return F::order == ByteOrder::kLittle ? GetLe32(bytes, F::offset) : GetBe32(bytes, F::offset);
  }
}

template <ByteRunField R>
[[nodiscard]] std::optional<std::span<const uint8_t, R::size>> Read(std::span<const uint8_t> bytes) {
  if (!Holds<R>(bytes)) return std::nullopt;
  return bytes.subspan<R::offset, R::size>();
}

template <TailField R>
[[nodiscard]] std::optional<std::span<const uint8_t>> Read(std::span<const uint8_t> bytes) {
  if (!Holds<R>(bytes)) return std::nullopt;
  return bytes.subspan(R::offset);
}

// Writes `value` with the field's width and order; false (and nothing
// written) when the field does not fit.
template <IntegerField F>
bool Write(std::span<uint8_t> bytes, std::same_as<typename F::type> auto value) {
  if (!Holds<F>(bytes)) return false;
  using T = typename F::type;
  if constexpr (sizeof(T) == 1) {
    Put8(bytes, F::offset, value);
  } else if constexpr (sizeof(T) == 2) {
    F::order == ByteOrder::kLittle ? PutLe16(bytes, F::offset, value) : PutBe16(bytes, F::offset, value);
  } else {
    F::order == ByteOrder::kLittle ? PutLe32(bytes, F::offset, value) : PutBe32(bytes, F::offset, value);
  }
  return true;
}

// Copies the first `source.size()` bytes of the run (no more than the run
// holds); the rest of the run keeps what it held. False when the run does
// not fit.
template <ByteRunField R>
bool Write(std::span<uint8_t> bytes, std::span<const uint8_t> source) {
  if (!Holds<R>(bytes)) return false;
  const std::size_t count = std::min(source.size(), R::size);
  std::copy_n(source.begin(), count, bytes.begin() + static_cast<std::ptrdiff_t>(R::offset));
  return true;
}

}  // namespace zk::diag
