// The diagnostic requests the library sends: command code, the exact number
// of bytes sent and the time the link waits for the answer, one row per use;
// then the typed fields of each request and answer layout (field_layout.h).
// All multi-byte diagnostic fields are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diag/field_layout.h"

namespace zk::diag {

struct RequestSpec {
  uint8_t code;
  int length;  // bytes sent
  int waitMs;  // time-out of one try
};

namespace code {
inline constexpr uint8_t kVersion = 0x00;
inline constexpr uint8_t kEsn = 0x01;
inline constexpr uint8_t kStatus = 0x0C;
inline constexpr uint8_t kKeyPress = 0x20;
inline constexpr uint8_t kKeyLock = 0x21;
inline constexpr uint8_t kNvRead = 0x26;
inline constexpr uint8_t kNvWrite = 0x27;
inline constexpr uint8_t kModeControl = 0x29;
inline constexpr uint8_t kSwitchToDownloader = 0x3A;
inline constexpr uint8_t kSpc = 0x41;
inline constexpr uint8_t kPrlWrite = 0x48;
inline constexpr uint8_t kPrlRead = 0x49;
inline constexpr uint8_t kSubsystem = 0x4B;
inline constexpr uint8_t kFileSystem = 0x59;
inline constexpr uint8_t kBaudChange = 0x5C;
inline constexpr uint8_t kVendorQuery = 0xFA;
// Answers of the download protocol.
inline constexpr uint8_t kDownloadAck = 0x02;
inline constexpr uint8_t kDownloadNak = 0x03;
}  // namespace code

// clang-format off
namespace request {
//                                                      code                        bytes  wait ms
inline constexpr RequestSpec kVersion              {code::kVersion,                1,    2000};
inline constexpr RequestSpec kEsnProbe             {code::kEsn,                    1,    1500};  // mode entry
inline constexpr RequestSpec kEsnSpeedCheck        {code::kEsn,                    1,    1000};  // speed change
inline constexpr RequestSpec kEsnIdentity          {code::kEsn,                    1,    2000};  // identity read
inline constexpr RequestSpec kStatusModeEntry      {code::kStatus,                 1,   10000};
inline constexpr RequestSpec kStatusOffline        {code::kStatus,                 1,    1500};
inline constexpr RequestSpec kKeyPress             {code::kKeyPress,               3,    1500};
inline constexpr RequestSpec kKeyLock              {code::kKeyLock,                3,    1500};
inline constexpr RequestSpec kNvRead               {code::kNvRead,               133,    3000};
inline constexpr RequestSpec kNvWrite              {code::kNvWrite,              133,    3000};
inline constexpr RequestSpec kModeOffline          {code::kModeControl,            3,    1500};
inline constexpr RequestSpec kModeReset            {code::kModeControl,            3,   15000};
inline constexpr RequestSpec kSwitchToDownloader   {code::kSwitchToDownloader,     1,   20000};
inline constexpr RequestSpec kSpcUnlock            {code::kSpc,                    7,    2000};
inline constexpr RequestSpec kSpcSend              {code::kSpc,                    7,    1500};
inline constexpr RequestSpec kPrlWrite             {code::kPrlWrite,              46,   40000};
inline constexpr RequestSpec kPrlRead              {code::kPrlRead,                3,    3000};
inline constexpr RequestSpec kBaudChange           {code::kBaudChange,             6,    3000};
inline constexpr RequestSpec kVendorQuery          {code::kVendorQuery,            5,    2000};
}  // namespace request
// clang-format on

// Request fields, at their offsets from the command code at 0. Each names
// its width and byte order; the builders check at compile time that a field
// lies inside its request's length.
namespace field {
using Code = U8<0>;
using ModeControlMode = Le16<1>;
using KeyLockValue = Le16<1>;
using KeyPressHold = U8<1>;
using KeyPressCode = U8<2>;
using SpcDigits = ByteRun<1, 6>;         // six ASCII digits
using NvItem = Le16<1>;
using NvData = ByteRun<3, 128>;
using NvStatus = Le16<131>;
using PrlWriteSequence = U8<1>;
using PrlWriteMore = U8<2>;
using PrlWriteNam = U8<3>;
using PrlWriteBits = Le16<4>;
using PrlWriteData = ByteRun<6, 40>;
using PrlReadSequence = U8<1>;
using PrlReadNam = U8<2>;
using BaudSelector = U8<1>;
using BaudRate = Le32<2>;
using VendorSubCommand = Le16<1>;
using VendorSelector = U8<3>;
using VendorSpare = U8<4>;               // sent as 0
}  // namespace field

// Answer fields.
namespace answer {
using Code = U8<0>;
using VersionSoftware = ByteRun<39, 8>;  // 8 characters, not always terminated
using Esn = Le32<1>;
using StatusModeWord = Le16<8>;
using StatusPhoneState = Le16<32>;
using SpcAccepted = U8<1>;               // non-zero: accepted
using PrlWriteStatus = U8<1>;            // 0: block taken; absent in a bare echo
using PrlReadStatus = U8<1>;             // 0: the block is the list's
using PrlReadMore = U8<5>;
using PrlReadBits = Le16<6>;
using PrlReadData = Tail<8>;             // as many bytes as the answer carries
using VendorByte = U8<4>;
using VendorText = ByteRun<4, 15>;
using VendorValue = Le32<4>;
using NvItem = field::NvItem;            // an NV answer repeats the request's layout
using NvData = field::NvData;
using NvStatus = field::NvStatus;
}  // namespace answer

// Values carried in requests.
inline constexpr uint16_t kModeOffline = 1;
inline constexpr uint16_t kModeReset = 2;
inline constexpr uint16_t kKeysRelease = 0;
inline constexpr uint16_t kKeysLock = 1;
inline constexpr uint8_t kBaudSelector = 1;
inline constexpr uint32_t kFastBaud = 115200;
inline constexpr uint16_t kVendorSubVersion = 0x00;  // with selector 0: one byte; selector 6: 15 characters
inline constexpr uint16_t kVendorSubValue20 = 0x14;  // 32-bit value
inline constexpr uint16_t kVendorSubValue21 = 0x15;  // 32-bit value
inline constexpr uint8_t kVendorSelectorByte = 0;
inline constexpr uint8_t kVendorSelectorText = 6;
inline constexpr uint8_t kVendorSpare = 0;
inline constexpr uint8_t kPrlMoreBlocks = 1;  // more flag of PRL blocks, written and read
inline constexpr uint8_t kPrlLastBlock = 0;
inline constexpr uint8_t kPrlReadOk = 0;         // status of a PRL read answer
inline constexpr uint8_t kPrlReadNotStored = 4;  // the NAM holds no list

// The handset's state in a status answer: usable for service when the mode
// word is 0 and the phone state 6, or the mode word is non-zero and the
// phone state 2.
inline constexpr uint16_t kPhoneStateOffline = 2;
inline constexpr uint16_t kPhoneStateOnline = 6;
constexpr bool IsUsableState(uint16_t modeWord, uint16_t phoneState) {
  return modeWord == 0 ? phoneState == kPhoneStateOnline : phoneState == kPhoneStateOffline;
}

}  // namespace zk::diag
