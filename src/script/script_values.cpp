#include "script/script_values.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace zk::script {
namespace {

uint32_t DigitValue(char c) { return c == '0' ? 10u : static_cast<uint32_t>(c - '0'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

uint32_t Encode3(const char* d) { return 100 * DigitValue(d[0]) + 10 * DigitValue(d[1]) + DigitValue(d[2]) - 111; }
uint32_t Encode2(const char* d) { return 10 * DigitValue(d[0]) + DigitValue(d[1]) - 11; }

// The digits among the first `window` characters of the token.
std::string DigitsIn(std::string_view token, std::size_t window) {
  std::string digits;
  for (char c : token.substr(0, window))
    if (IsDigit(c)) digits += c;
  return digits;
}

bool Upper(std::string_view token, std::string_view word) {
  return token.size() == word.size() && std::equal(token.begin(), token.end(), word.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == b;
         });
}

}  // namespace

NumberValue ReadNumber(std::string_view token, bool hexAllowed) {
  const std::string text(token);
  const bool hex = hexAllowed && text.find("0x") != std::string::npos;
  char* end = nullptr;
  NumberValue number;
  if (hex) {
    number.value = static_cast<int64_t>(std::strtoull(text.c_str(), &end, 16));
  } else {
    number.value = std::strtoll(text.c_str(), &end, 10);
  }
  number.hadDigits = end != text.c_str();
  number.whole = number.hadDigits && *end == '\0';
  return number;
}

uint8_t ReadOnOff(std::string_view token, bool& recognised) {
  const bool on = Upper(token, "ON") || Upper(token, "TRUE") || token == "1";
  recognised = on || Upper(token, "OFF") || Upper(token, "FALSE") || token == "0";
  return on ? 1 : 0;
}

std::optional<uint32_t> EncodeDigits(Digits kind, std::string_view token) {
  switch (kind) {
    case Digits::kMin1: {
      const std::string d = DigitsIn(token, 20);
      if (d.size() != 7) return std::nullopt;
      return Encode3(d.data()) << 14 | DigitValue(d[3]) << 10 | Encode3(d.data() + 4);
    }
    case Digits::kMin2: {
      const std::string d = DigitsIn(token, 10);
      if (d.size() != 3) return std::nullopt;
      return Encode3(d.data());
    }
    case Digits::kMcc:
      if (token.size() < 3 || !std::all_of(token.begin(), token.begin() + 3, IsDigit)) return std::nullopt;
      return Encode3(token.data());
    case Digits::kMnc:
      if (token.size() < 2 || !IsDigit(token[0]) || !IsDigit(token[1])) return std::nullopt;
      return Encode2(token.data());
    case Digits::kNone:
      break;
  }
  return std::nullopt;
}

std::optional<uint32_t> FindName(NameList list, std::string_view name) {
  for (const ListedName& listed : Names(list))
    if (Upper(name, listed.name)) return listed.value;
  return std::nullopt;
}

}  // namespace zk::script
