// Formatting the editor's cells from the NV image and parsing them back.
#include "nv/nv_editor_fields.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "nv/nv_catalogue.h"

namespace zk::nv::editor {
namespace {

constexpr const char* kBrewServerMessage =
    "Nv Item : BREW SERVER \n Those letters are not allowed \n only following letters are allowed => '0' ~ '9', "
    "'a' ~ 'z', 'A' ~ 'Z', '.', '_' , '-') ";
constexpr const char* kBKeyLengthMessage =
    " Item : BKey \n You must input all of 32 letters \n (only following letters are allowed => '0' ~ '9', 'A' ~ "
    "'F' or 'a' ~ 'f')";
constexpr const char* kBKeyLettersMessage =
    " Item : BKey \n only following letters are allowed  =>: '0' ~ '9' ,  'A' ~ 'F' or 'a' ~ 'f'";
constexpr const char* kCarrierIdMessage = "NV Item : BREW CARRIER ID \n  the range of this number is from  0  to 255. ";
constexpr const char* kPlatformIdMessage =
    "NV Item : BREW Platform ID \n  the range of this number is from  0  to 9999. ";

// The DNS address messages, first address then second.
struct DnsMessages {
  const char* dots;
  const char* letters;
  const char* dotCount;
  const char* firstGroups;
  const char* lastGroups;
};
constexpr DnsMessages kDns[2] = {
    {"NV ITEM : BREW DNS IP 1 \n the Format of this item should be 'XXX.XXX.XXX.XXX'  \n And 'X' should be digit.\t",
     "NV ITEM : BREW DNS IP 1 \n Only following letters are allowed => digit or dot character.",
     "NV ITEM : BREW DNS IP 1 \n  the Format of this item should be 'XXX.XXX.XXX.XXX'  . \n ('X' should be a digit ).",
     "NV ITEM : BREW DNS IP 1 \n  the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed 255",
     "NV ITEM : Primary DNS IP \n  the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed "
     "255"},
    {"NV ITEM : BREW DNS IP 2 \n the Format of this item should be 'XXX.XXX.XXX.XXX'  \n And 'X' should be digit. ",
     "NV ITEM : BREW DNS IP 2 \n Only following letters are allowed => digit or dot character.",
     "NV ITEM : BREW DNS IP 2 \n  the Format of this item should be 'XXX.XXX.XXX.XXX'  . \n ('X' should be a digit ).",
     "NV ITEM : BREW DNS IP 2 \n the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed 255",
     "NV ITEM : Secondary DNS IP \n the Format of this item should be 'XXX.XXX.XXX.XXX' \n And Each XXX can't exceed "
     "255"},
};

int IndexOf(const Field& field, int nam) {
  const auto slot = FindSlot(field.item);
  return slot && slot->perNam ? nam : kNoNam;
}

// The bytes of the cell's value, or empty when the image has no room for them.
std::span<const uint8_t> CellBytes(const NvImage& image, const Field& field, int nam) {
  const auto value = ValueBytes(image, field.item, IndexOf(field, nam));
  if (value.size() < static_cast<std::size_t>(field.offset) + field.size) return {};
  return value.subspan(field.offset, field.size);
}

std::span<uint8_t> MutableCellBytes(NvImage& image, const Field& field, int nam) {
  const auto value = CellBytes(image, field, nam);
  if (value.empty()) return {};
  const auto at = static_cast<std::size_t>(value.data() - image.data());
  return std::span<uint8_t>(image).subspan(at, value.size());
}

uint32_t ReadNumber(std::span<const uint8_t> bytes) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return value;
}

void WriteNumber(std::span<uint8_t> bytes, uint32_t value) {
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<uint32_t> ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > 10 || !AllDigits(text)) return std::nullopt;
  uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  if (value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<uint32_t>(value);
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Refused(const RowDef& row, const std::string& why) { return "NV Item : " + row.label + " \n " + why; }

std::optional<std::string> CheckDns(std::string_view text, const DnsMessages& messages, uint8_t address[4]) {
  if (text.size() != 15 || text[3] != '.' || text[7] != '.' || text[11] != '.') return messages.dots;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
    return messages.letters;
  if (std::count(text.begin(), text.end(), '.') != 3) return messages.dotCount;
  for (int group = 0; group < 4; ++group) {
    const int value = (text[4 * group] - '0') * 100 + (text[4 * group + 1] - '0') * 10 + (text[4 * group + 2] - '0');
    if (value > 255) return group < 2 ? messages.firstGroups : messages.lastGroups;
    address[group] = static_cast<uint8_t>(value);
  }
  return std::nullopt;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char DigitChar(uint32_t digit) { return digit == 10 ? '0' : static_cast<char>('0' + digit); }

}  // namespace

// --- dialled digits -------------------------------------------------------------

std::string DecodeDigits(uint32_t value, int digits) {
  std::string text;
  uint32_t scale = digits == 3 ? 100 : 10;
  for (int i = 0; i < digits; ++i, scale /= 10) text += DigitChar((value / scale) % 10 + 1);
  return text;
}

std::optional<uint32_t> EncodeDigits(std::string_view digits) {
  if ((digits.size() != 2 && digits.size() != 3) || !AllDigits(digits)) return std::nullopt;
  uint32_t value = 0;
  for (const char c : digits) value = value * 10 + (c == '0' ? 10u : static_cast<uint32_t>(c - '0'));
  return value - (digits.size() == 3 ? 111u : 11u);
}

std::string DecodeMin1(uint32_t value) {
  const uint32_t fourth = (value >> 10) & 0xF;
  const char middle = fourth >= 1 && fourth <= 10 ? DigitChar(fourth) : '?';
  return DecodeDigits((value >> 14) & 0x3FF, 3) + "-" + middle + DecodeDigits(value & 0x3FF, 3);
}

std::optional<uint32_t> EncodeMin1(std::string_view text) {
  std::string digits(text);
  if (digits.size() == 8 && digits[3] == '-') digits.erase(3, 1);
  if (digits.size() != 7 || !AllDigits(digits)) return std::nullopt;
  const uint32_t first = *EncodeDigits(std::string_view(digits).substr(0, 3));
  const uint32_t fourth = digits[3] == '0' ? 10u : static_cast<uint32_t>(digits[3] - '0');
  const uint32_t last = *EncodeDigits(std::string_view(digits).substr(4, 3));
  return first << 14 | fourth << 10 | last;
}

// --- formatting -------------------------------------------------------------------

bool HasValue(const Field& field, const Source& source) {
  if (field.format == Format::Counter) return true;
  if (field.item == kNoItem || !FindSlot(field.item)) return false;
  return source.flags.WasRead(field.item, IndexOf(field, source.nam)) &&
         !CellBytes(source.image, field, source.nam).empty();
}

std::string FormatCell(const RowDef& row, const Field& field, const Source& source) {
  if (field.format == Format::Counter)
    return field.offset < kCounterCount ? std::to_string(source.counters[field.offset]) : "0";
  if (!HasValue(field, source)) return row.unreadText;
  const auto bytes = CellBytes(source.image, field, source.nam);
  const uint32_t number = ReadNumber(bytes);
  char text[64];
  switch (field.format) {
    case Format::Digits3: return DecodeDigits(number & 0x3FF, 3);
    case Format::Digits2: return DecodeDigits(number & 0x7F, 2);
    case Format::Min1: return DecodeMin1(number & 0xFFFFFF);
    case Format::Number: return std::to_string(number);
    case Format::Text: {
      std::string shown;
      for (const uint8_t byte : bytes) {
        if (byte == 0) break;
        shown += std::isprint(byte) != 0 ? static_cast<char>(byte) : '?';
      }
      return shown.substr(0, field.mask.size());
    }
    case Format::Choice:
      return bytes[0] < field.choices.size() ? field.choices[bytes[0]] : std::to_string(bytes[0]);
    case Format::OnOff: return bytes[0] != 0 ? "True" : "False";
    case Format::SystemPref: return bytes[0] == 2 ? "HOME ONLY" : bytes[0] == 4 ? "AUTOMATIC A" : "AUTOMATIC B";
    case Format::Address:
      std::snprintf(text, sizeof(text), "%.3d.%.3d.%.3d.%.3d", bytes[0], bytes[1], bytes[2], bytes[3]);
      return text;
    case Format::Key: {
      std::string shown;
      for (const uint8_t byte : bytes) std::snprintf(text, sizeof(text), "%.2x", byte), shown += text;
      return shown;
    }
    case Format::Counter: break;
  }
  return {};
}

std::vector<zk::ui::NvEditorPage> BuildPages(const Source& source) {
  std::vector<zk::ui::NvEditorPage> pages(3);
  pages[kNamPage].title = "NAM";
  pages[kPhonePage].title = "Phone";
  pages[kCalibrationPage].title = "Calibration";
  pages[kCalibrationPage].readOnly = true;
  const std::vector<RowDef>* rows[2] = {&NamRows(source.editorOption), &PhoneRows()};
  for (int page = 0; page < 2; ++page) {
    for (const RowDef& def : *rows[page]) {
      zk::ui::NvEditorRow row{def.label, {}};
      for (const Field& field : def.cells) {
        zk::ui::NvEditorCell cell;
        cell.text = FormatCell(def, field, source);
        cell.mask = field.mask;
        cell.editable = field.format != Format::Counter && HasValue(field, source);
        if (field.format == Format::Choice || field.format == Format::OnOff || field.format == Format::SystemPref)
          cell.choices = field.choices;
        row.cells.push_back(std::move(cell));
      }
      pages[page].rows.push_back(std::move(row));
    }
  }
  for (const uint16_t item : CalibrationItems()) {
    if (!source.flags.WasRead(item, kNoNam)) continue;
    const auto value = ValueBytes(source.image, item, kNoNam);
    zk::ui::NvEditorRow row{ItemName(item), {}};
    const auto cell = [&row](uint32_t number) {
      row.cells.push_back({std::to_string(number), "", {}, false});
    };
    if (value.size() == 1 || value.size() == 2 || value.size() == 4)
      cell(ReadNumber(value));
    else
      for (const uint8_t byte : value) cell(byte);
    pages[kCalibrationPage].rows.push_back(std::move(row));
  }
  return pages;
}

// --- parsing --------------------------------------------------------------------

std::optional<std::string> ParseCell(const RowDef& row, const Field& field, std::string_view text, NvImage& image,
                                     int nam) {
  if (field.format == Format::Counter || field.item == kNoItem) return Refused(row, "this value cannot be changed");
  const auto bytes = MutableCellBytes(image, field, nam);
  if (bytes.empty()) return Refused(row, "this value cannot be changed");
  switch (field.format) {
    case Format::Digits3:
    case Format::Digits2: {
      const auto value = EncodeDigits(text);
      if (!value || text.size() != field.mask.size())
        return Refused(row, "enter " + std::to_string(field.mask.size()) + " digits");
      WriteNumber(bytes, (ReadNumber(bytes) & ~(field.format == Format::Digits3 ? 0x3FFu : 0x7Fu)) | *value);
      return std::nullopt;
    }
    case Format::Min1: {
      const auto value = EncodeMin1(text);
      if (!value) return Refused(row, "enter seven digits as ###-####");
      WriteNumber(bytes, (ReadNumber(bytes) & 0xFF000000u) | *value);
      return std::nullopt;
    }
    case Format::Number: {
      const auto value = ParseNumber(text);
      if (field.check == Check::BrewCarrierId && (!value || *value > 255)) return kCarrierIdMessage;
      if (field.check == Check::BrewPlatformId && (!value || *value > 9999)) return kPlatformIdMessage;
      if (!value || *value > field.maximum)
        return Refused(row, "enter a number from 0 to " + std::to_string(field.maximum));
      WriteNumber(bytes, *value);
      return std::nullopt;
    }
    case Format::Text: {
      const bool digitsOnly = !field.mask.empty() && field.mask[0] == '#';
      if (field.check == Check::BrewServer &&
          !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '_' || c == '-';
          }))
        return kBrewServerMessage;
      const std::size_t room = std::min(field.mask.size(), bytes.size());
      if (text.size() > room) return Refused(row, "at most " + std::to_string(room) + " characters");
      if (digitsOnly && !AllDigits(text)) return Refused(row, "only digits are allowed");
      if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
        return Refused(row, "only printable characters are allowed");
      std::fill(bytes.begin(), bytes.end(), 0);
      std::copy(text.begin(), text.end(), bytes.begin());
      return std::nullopt;
    }
    case Format::Choice:
    case Format::OnOff:
    case Format::SystemPref: {
      const auto found = std::find_if(field.choices.begin(), field.choices.end(),
                                      [text](const std::string& choice) { return SameText(choice, text); });
      if (found == field.choices.end()) {
        std::string list;
        for (const auto& choice : field.choices) list += (list.empty() ? "" : "|") + choice;
        return Refused(row, "choose one of " + list);
      }
      const auto position = static_cast<uint8_t>(found - field.choices.begin());
      if (field.format == Format::OnOff)
        bytes[0] = position == 0 ? 1 : 0;
      else if (field.format == Format::SystemPref)
        bytes[0] = position == 0 ? 2 : position == 1 ? 4 : 0;
      else
        bytes[0] = position;
      return std::nullopt;
    }
    case Format::Address: {
      uint8_t address[4] = {};
      if (const auto refused = CheckDns(text, kDns[field.check == Check::DnsSecond ? 1 : 0], address))
        return refused;
      std::copy(address, address + 4, bytes.begin());
      return std::nullopt;
    }
    case Format::Key: {
      if (text.size() != 32) return kBKeyLengthMessage;
      if (!std::all_of(text.begin(), text.end(), [](char c) { return HexValue(c) >= 0; })) return kBKeyLettersMessage;
      for (std::size_t i = 0; i < 16; ++i)
        bytes[i] = static_cast<uint8_t>(HexValue(text[2 * i]) << 4 | HexValue(text[2 * i + 1]));
      return std::nullopt;
    }
    case Format::Counter: break;
  }
  return Refused(row, "this value cannot be changed");
}

const RowDef* FindRow(int page, std::string_view label, bool editorOption, int* rowIndex) {
  if (page != kNamPage && page != kPhonePage) return nullptr;
  const auto& rows = page == kNamPage ? NamRows(editorOption) : PhoneRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!SameText(rows[i].label, label)) continue;
    if (rowIndex != nullptr) *rowIndex = static_cast<int>(i);
    return &rows[i];
  }
  return nullptr;
}

}  // namespace zk::nv::editor
