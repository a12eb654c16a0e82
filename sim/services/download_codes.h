// Packet codes, field offsets and answers of the handset's downloader (the
// protocol it speaks after the switch to the downloader). Addresses, lengths
// and parameters are big-endian, unlike the diagnostic requests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rb310::dl {

// Packets.
inline constexpr uint8_t kWrite = 0x01;
inline constexpr uint8_t kErase = 0x04;
inline constexpr uint8_t kReset = 0x0A;
inline constexpr uint8_t kBootInitialize = 0x20;
inline constexpr uint8_t kInitialize = 0x21;
inline constexpr uint8_t kBootErase = 0x22;
inline constexpr uint8_t kFinalize = 0x25;
inline constexpr uint8_t kEraseEfs = 0x26;
inline constexpr uint8_t kBootImageInitialize = 0x28;
inline constexpr uint8_t kSelectRate = 0x29;

// Answers.
inline constexpr uint8_t kAck = 0x02;
inline constexpr uint8_t kNak = 0x03;

// Write block: address (32-bit) at 1, meaningful length (16-bit) at 5, data
// at 7. The data field of the host's packets is always a whole block.
inline constexpr std::size_t kWriteAddressOffset = 1;
inline constexpr std::size_t kWriteLengthOffset = 5;
inline constexpr std::size_t kWriteDataOffset = 7;
inline constexpr std::size_t kBlockSize = 2048;

// Length of each packet the downloader takes, code included. A packet of
// any other length is refused with a negative acknowledgement. The rate
// packet has the write block's length: a code, the selector and zeros.
inline constexpr std::size_t kWriteRequestSize = kWriteDataOffset + kBlockSize;  // 2055
inline constexpr std::size_t kEraseRequestSize = 4;          // code + 24-bit parameter
inline constexpr std::size_t kResetRequestSize = 5;          // code + four zero bytes
inline constexpr std::size_t kBootInitRequestSize = 2;       // code + parameter byte
inline constexpr std::size_t kInitializeRequestSize = 1;
inline constexpr std::size_t kBootEraseRequestSize = 4;      // code + 24-bit parameter
inline constexpr std::size_t kFinalizeRequestSize = 1;
inline constexpr std::size_t kEraseEfsRequestSize = 4;       // code + 24-bit parameter
inline constexpr std::size_t kBootImageInitRequestSize = 1;
inline constexpr std::size_t kSelectRateRequestSize = 2055;  // code + selector + zeros

// Rate selectors of the fast-rate packet.
inline constexpr uint8_t kSelectorStandard = 0;  // 115200 bit/s
inline constexpr uint8_t kSelectorFast = 1;      // 460800 bit/s
inline constexpr uint32_t kStandardRate = 115200;
inline constexpr uint32_t kFastRate = 460800;

}  // namespace rb310::dl
