#include "wire/at_personality.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace rb310 {
namespace {

constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";
constexpr uint32_t kDmRates[] = {9600, 19200, 38400, 57600, 115200, 230400};

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::optional<uint32_t> ParseRate(std::string_view digits) {
  uint32_t rate = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), rate);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (std::find(std::begin(kDmRates), std::end(kDmRates), rate) == std::end(kDmRates)) return std::nullopt;
  return rate;
}

}  // namespace

std::optional<AtResult> AtPersonality::Push(uint8_t byte) {
  if (byte == '\r') {
    std::string line;
    line.swap(line_);
    const bool overflowed = overflow_;
    overflow_ = false;
    if (overflowed) return AtResult{line, kError, std::nullopt};
    return Execute(line);
  }
  if (byte == '\n' || byte == 0) return std::nullopt;
  if (line_.size() >= kMaxLine) {
    overflow_ = true;
  } else {
    line_ += static_cast<char>(byte);
  }
  return std::nullopt;
}

void AtPersonality::Reset() {
  line_.clear();
  overflow_ = false;
  chosenDmBaud_.reset();
}

AtResult AtPersonality::Execute(const std::string& line) {
  AtResult result{line, "", std::nullopt};
  // Leading blanks and noise before "AT" are skipped like a modem does.
  const std::string upper = Upper(line);
  const std::size_t start = upper.find("AT");
  if (start == std::string::npos) return result;  // not a command: no answer
  std::string command = upper.substr(start + 2);
  while (!command.empty() && command.back() == ' ') command.pop_back();

  result.answer = kOk;
  if (command.empty() || command == "Z" || command == "&F" || command == "E0" || command == "E1" ||
      command == "V1" || command == "Q0") {
    return result;
  }
  if (command == "I" || command == "+GMM" || command == "+CGMM") {
    result.answer = "\r\nRB310\r\n" + std::string(kOk);
    return result;
  }
  if (command == "$ZKDMGO") {
    result.enterDiagAt = settings_.defaultDmBaud;
    return result;
  }
  if (command.starts_with("$QCDMR=") && !settings_.ignoreStandardSwitch) {
    const auto rate = ParseRate(std::string_view(command).substr(7));
    if (!rate) {
      result.answer = kError;
      return result;
    }
    chosenDmBaud_ = rate;
    return result;
  }
  if (command == "$QCDMG" && !settings_.ignoreStandardSwitch) {
    result.enterDiagAt = chosenDmBaud_.value_or(settings_.defaultDmBaud);
    return result;
  }
  result.answer = kError;
  return result;
}

}  // namespace rb310
