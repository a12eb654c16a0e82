// The NV_WRITE item table of script files: every item key a script may name,
// the NV item it writes, how many values must follow the key and how those
// values are read and laid out in the data field of the NV write request.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zk::script {

// An item whose NV number is not known: listed, but never written.
inline constexpr uint16_t kNoNumber = 0xFFFF;

enum class ValueForm : uint8_t {
  kNamDecimal,     // NAM, then decimal numbers
  kNamDigits,      // NAM, then dialled digits (see Digits)
  kNamNumber,      // NAM, then numbers, hexadecimal when written with "0x"
  kNamOnOff,       // NAM, then on/off values
  kNamTextWhole,   // NAM, then a text copied whole
  kNamTextChars,   // NAM, then a text copied character by character
  kNamName,        // NAM, then a name from a list (see NameList)
  kDecimal,        // decimal numbers
  kNumber,         // numbers, hexadecimal when written with "0x"
  kOnOff,          // on/off values
  kOnOffThenNumber,  // an on/off value, then a number
  kTextWhole,      // a text copied whole, then numbers
  kTextChars,      // a text copied character by character, then numbers
  kNotWritable,    // listed, refused as not supported
};

// Encodings of dialled digits.
enum class Digits : uint8_t {
  kNone,
  kMin1,  // seven digits: 10-bit, 4-bit, 10-bit groups (MIN1, IMSI_T_S1)
  kMin2,  // three digits, 10-bit (MIN2, IMSI_T_S2)
  kMcc,   // the first three characters, 10-bit (IMSI_MCC, IMSI_T_MCC)
  kMnc,   // the first two characters, 7-bit (IMSI_11_12, IMSI_T_11_12)
};

enum class NameList : uint8_t { kNone, kPrefMode, kSystemPref, kBandPref, kRoamPref, kAnalogReg };

struct ScriptItem {
  const char* key;     // as scripts write it, compared without regard to case
  uint16_t item;       // NV item number, or kNoNumber
  uint8_t valueCount;  // tokens that must follow the key (the NAM included)
  ValueForm form;
  uint8_t width;  // bytes of each value in the record; for the text forms, bytes of the text field
  Digits digits;
  NameList names;
};

// The 514 rows, in table order.
std::span<const ScriptItem> ScriptItems();

// The first row whose key matches `key` without regard to case, or nullptr.
const ScriptItem* FindScriptItem(std::string_view key);

bool IsPerNam(ValueForm form);
bool IsText(ValueForm form);

// Items the handset keeps per NAM that scripts write without one: their line
// writes the NAM 0 entry, so the record leads with index byte 0.
bool WritesNamZero(const ScriptItem& row);

// Bytes the item's record fills in the data field of the write request (the
// NAM index byte included).
std::size_t RecordBytes(const ScriptItem& row);

// Items a script names but operation kinds 2 and 3 do not write: the
// authentication keys, the security code and the life-time counters.
bool IsHeldBackItem(uint16_t item);

struct ListedName {
  const char* name;
  uint32_t value;
};
std::span<const ListedName> Names(NameList list);
// The value a name outside the list stores; false when such a name leaves the value unchanged.
bool NoMatchValue(NameList list, uint32_t& value);

}  // namespace zk::script
