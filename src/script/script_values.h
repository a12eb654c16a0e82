// Reading the values of NV_WRITE lines: numbers, on/off words, dialled
// digits and listed names.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "script/script_items.h"

namespace zk::script {

struct NumberValue {
  int64_t value = 0;
  bool hadDigits = false;  // false: no leading digits, the value is 0
  bool whole = false;      // the whole token was the number
};

// With `hexAllowed`, a token containing "0x" is hexadecimal; any other token
// is decimal, read from its leading digits.
NumberValue ReadNumber(std::string_view token, bool hexAllowed);

// "ON", "TRUE" and "1" (any case) are 1, anything else 0. `recognised` tells
// whether the token was an on/off word at all (OFF, FALSE and 0 included).
uint8_t ReadOnOff(std::string_view token, bool& recognised);

// Dialled digits in the MIN/IMSI encodings, each digit its value except '0',
// which counts as 10. Nothing when the token does not hold the digits the
// encoding needs (MIN1 and MIN2 forms then leave the value unchanged).
std::optional<uint32_t> EncodeDigits(Digits kind, std::string_view token);

// The value a listed name stores (compared without regard to case), or nothing.
std::optional<uint32_t> FindName(NameList list, std::string_view name);

}  // namespace zk::script
