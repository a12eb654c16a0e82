// The diagnostic requests the library sends: command code, the exact number
// of bytes sent and the time the link waits for the answer, one row per use;
// then the field offsets of each request and answer layout. All multi-byte
// fields are little-endian (see byte_order.h).
#pragma once

#include <cstddef>
#include <cstdint>

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

// Request fields (offsets from the command code at 0).
namespace field {
inline constexpr std::size_t kModeControlMode = 1;  // 16-bit
inline constexpr std::size_t kKeyLockValue = 1;     // 16-bit
inline constexpr std::size_t kKeyPressHold = 1;     // 8-bit
inline constexpr std::size_t kKeyPressCode = 2;     // 8-bit
inline constexpr std::size_t kSpcDigits = 1;        // six ASCII digits
inline constexpr std::size_t kSpcDigitCount = 6;
inline constexpr std::size_t kNvItem = 1;           // 16-bit
inline constexpr std::size_t kNvData = 3;           // 128 bytes
inline constexpr std::size_t kNvDataSize = 128;
inline constexpr std::size_t kNvStatus = 131;       // 16-bit
inline constexpr std::size_t kPrlWriteSequence = 1;
inline constexpr std::size_t kPrlWriteMore = 2;
inline constexpr std::size_t kPrlWriteNam = 3;
inline constexpr std::size_t kPrlWriteBits = 4;     // 16-bit
inline constexpr std::size_t kPrlWriteData = 6;
inline constexpr std::size_t kPrlBlockBytes = 40;
inline constexpr std::size_t kPrlReadSequence = 1;
inline constexpr std::size_t kPrlReadNam = 2;
inline constexpr std::size_t kBaudSelector = 1;     // 8-bit
inline constexpr std::size_t kBaudRate = 2;         // 32-bit
inline constexpr std::size_t kVendorSubCommand = 1; // 16-bit
inline constexpr std::size_t kVendorSelector = 3;   // 8-bit
inline constexpr std::size_t kVendorSpare = 4;      // sent as 0
}  // namespace field

// Answer fields.
namespace answer {
inline constexpr std::size_t kVersionSoftware = 39;  // 8 characters, not always terminated
inline constexpr std::size_t kSoftwareVersionLength = 8;
inline constexpr std::size_t kEsn = 1;                // 32-bit
inline constexpr std::size_t kStatusModeWord = 8;     // 16-bit
inline constexpr std::size_t kStatusPhoneState = 32;  // 16-bit
inline constexpr std::size_t kSpcAccepted = 1;        // 8-bit, non-zero: accepted
inline constexpr std::size_t kPrlReadMore = 5;
inline constexpr std::size_t kPrlReadBits = 6;        // 16-bit
inline constexpr std::size_t kPrlReadData = 8;
inline constexpr std::size_t kVendorResult = 4;
inline constexpr std::size_t kVendorTextLength = 15;
inline constexpr std::size_t kCheckBytes = 2;         // the frame check sequence kept after a decoded answer
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

// The handset's state in a status answer: usable for service when the mode
// word is 0 and the phone state 6, or the mode word is non-zero and the
// phone state 2.
inline constexpr uint16_t kPhoneStateOffline = 2;
inline constexpr uint16_t kPhoneStateOnline = 6;
constexpr bool IsUsableState(uint16_t modeWord, uint16_t phoneState) {
  return modeWord == 0 ? phoneState == kPhoneStateOnline : phoneState == kPhoneStateOffline;
}

}  // namespace zk::diag
