// A script using every value form, and the bytes each NV_WRITE line puts in
// the write request's data field, worked out by hand from the encodings:
// dialled digits count '0' as 10; three digits give 100 d1 + 10 d2 + d3 - 111,
// two give 10 d1 + d2 - 11; MIN1 is first << 14 | fourth << 10 | last; values
// are least significant byte first; per-NAM records lead with the NAM index.
// Shared by the parser's test and the run against the simulated handset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace zk::test::golden {

inline std::vector<uint8_t> Hex(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream in(text);
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

inline std::vector<uint8_t> Padded(std::vector<uint8_t> bytes, std::size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

inline constexpr const char* kScript =
    "; every value form\r\n"
    "NV_WRITE ACCOLC 1 3 12\r\n"
    "NV_WRITE HOME_SID_NID 0 4139 65535 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n"
    "NV_WRITE MIN1 0 555-1234 5550000\r\n"
    "NV_WRITE MIN2 1 619 100\r\n"
    "NV_WRITE IMSI_MCC 0 310\r\n"
    "NV_WRITE IMSI_11_12 0 00\r\n"
    "NV_WRITE IMSI_T_S1 0 6195551234\r\n"
    "NV_WRITE A_KEY 0 0x89ABCDEF 0x01234567\r\n"
    "NV_WRITE AIR_CNT 1 0x10\r\n"
    "NV_WRITE NAM_CHKSUM 0 300\r\n"
    "NV_WRITE PRL_ENABLED 0 true\r\n"
    "NV_WRITE NAME_NAM 1 \"Home NAM\"\r\n"
    "NV_WRITE DIR_NUMBER 0 6195551234\r\n"
    "NV_WRITE PREF_MODE 0 \"digital only\"\r\n"
    "NV_WRITE PREF_MODE 1 SOMETHING\r\n"
    "NV_WRITE SYSTEM_PREF 0 \"AUTOMATIC B\"\r\n"
    "NV_WRITE BAND_PREF 0 BAND_PREF_BC6\r\n"
    "NV_WRITE BAND_PREF 1 BAND_PREF_BC7\r\n"
    "NV_WRITE ROAM_PREF 0 ROAM_PREF_AFFIL\r\n"
    "NV_WRITE ROAM_PREF 1 ROAM_PREF_NONE\r\n"
    "NV_WRITE ANALOG_REG 0 \"WHEREABOUTS UNKNOWN\"\r\n"
    "NV_WRITE CURR_NAM 1\r\n"
    "NV_WRITE ESN 305419896\r\n"
    "NV_WRITE ESN 0x1234\r\n"
    "NV_WRITE SLOT_CYCLE_INDEX 0x2\r\n"
    "NV_WRITE PRIMARY_DNS 0xC0A80001\r\n"
    "NV_WRITE AUTO_ANSWER on 3\r\n"
    "NV_WRITE SID_NID off TRUE 1 maybe\r\n"
    "NV_WRITE SEC_CODE 123456\r\n"
    "NV_WRITE BANNER \"My Phone\" 1 2 3 4 0x10\r\n"
    "NV_WRITE PPP_USER_ID user@carrier.com\r\n"
    "NV_WRITE AUTO_HYPHEN ON\r\n";

struct GoldenWrite {
  int line;
  uint16_t item;
  int nam;
  std::vector<uint8_t> bytes;
};

// The hand-worked table, one row per NV_WRITE line.
inline std::vector<GoldenWrite> GoldenWrites() {
  std::vector<uint8_t> homeSidNid = Padded(Hex("00 2B 10 FF FF"), 81);
  return {
      {2, 37, 1, Hex("01 03 0C")},
      {3, 259, 0, homeSidNid},
      // 555 -> 444, '1' -> 1, 234 -> 123: 0x6F047B; 555 -> 444, '0' -> 10, 000 -> 999: 0x6F2BE7
      {4, 32, 0, Hex("00 7B 04 6F 00 E7 2B 6F 00")},
      {5, 33, 1, Hex("01 FC 01 63 00")},  // 619 -> 508, 100 -> 99
      {6, 176, 0, Hex("00 D1 00")},       // 310 -> 209
      {7, 177, 0, Hex("00 63")},          // 00 -> 99
      {8, 262, 0, Hex("00 00 00 00 00")},  // ten digits: left as it was
      {9, 25, 0, Hex("00 EF CD AB 89 67 45 23 01")},
      {10, 168, 1, Hex("01 10 00 00 00")},
      {11, 24, 0, Hex("00 2C 01")},
      {12, 256, 0, Hex("00 01")},
      {13, 43, 1, Hex("01 48 6F 6D 65 20 4E 41 4D 00 00 00 00")},
      {14, 178, 0, Hex("00 36 31 39 35 35 35 31 32 33 34")},
      {15, 10, 0, Hex("00 01")},
      {16, 10, 1, Hex("01 04")},     // no match: 4
      {17, 258, 0, Hex("00 05")},
      {18, 441, 0, Hex("00 60 00")},  // BC6 is 0x60
      {19, 441, 1, Hex("01 FF FF")},  // no match: 0xFFFF
      {20, 442, 0, Hex("00 03")},
      {21, 442, 1, Hex("01 FF")},     // no match: 0xFF
      {22, 19, 0, Hex("00 02")},
      {23, 40, -1, Hex("01")},
      {24, 0, -1, Hex("78 56 34 12")},
      {25, 0, -1, Hex("00 00 00 00")},  // decimal only: "0x1234" reads as 0
      {26, 5, -1, Hex("02")},
      {27, 423, -1, Hex("01 00 A8 C0")},
      {28, 74, -1, Hex("01 03")},
      {29, 38, -1, Hex("00 01 01 00")},
      {30, 85, -1, Hex("31 32 33 34 35 36")},
      {31, 71, -1, Hex("4D 79 20 50 68 6F 6E 65 00 00 00 00 01 02 03 04 10")},
      {32, 911, -1, Padded(Hex("75 73 65 72 40 63 61 72 72 69 65 72 2E 63 6F 6D"), 64)},
      {33, 76, 0, Hex("00 01")},  // kept per NAM by the handset: written for NAM 0
  };
}

}  // namespace zk::test::golden
