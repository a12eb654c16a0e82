// The NV editor's pages as data: every row with its cells, where each cell's
// value lives (an NV item of the image, or a call-history counter), how it
// is formatted into text and how an operator's text is checked and parsed
// back. Pure work over the image and the read flags, with no port, so the
// command line can check a value before it touches a handset.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nv/nv_image.h"
#include "nv/nv_read_flags.h"
#include "ui/nv_editor_view.h"

namespace zk::nv::editor {

inline constexpr int kNamPage = 0;
inline constexpr int kPhonePage = 1;
inline constexpr int kCalibrationPage = 2;
inline constexpr std::size_t kCounterCount = 11;
inline constexpr uint16_t kNoItem = 0xFFFF;

// How a cell's bytes read as text.
enum class Format {
  Digits3,     // 10-bit value of three dialled digits (MCC, area code)
  Digits2,     // 7-bit value of two dialled digits (IMSI 11-12)
  Min1,        // 24-bit value of seven dialled digits, shown "###-####"
  Text,        // ASCII up to the first zero byte
  Number,      // unsigned little-endian number of `width` bytes, "%d"
  Choice,      // byte at the position of the choice list
  OnOff,       // "True" for 1, "False" for 0
  SystemPref,  // 2 "HOME ONLY", 4 "AUTOMATIC A", else "AUTOMATIC B"
  Address,     // four address bytes, "%.3d.%.3d.%.3d.%.3d"
  Key,         // 16 key bytes, "%.2x" each
  Counter,     // a call-history counter (read-only)
};

// Checks with their own messages, on top of the format's.
enum class Check { None, BrewServer, BrewCarrierId, BrewPlatformId, DnsFirst, DnsSecond };

struct Field {
  uint16_t item = kNoItem;   // kNoItem: no value behind the cell
  uint8_t offset = 0;        // byte of the entry's value where the cell's value starts (counter: its number)
  uint8_t size = 1;          // bytes of the value (text: its room)
  Format format = Format::Number;
  std::string mask;
  std::vector<std::string> choices;
  uint32_t maximum = 0xFFFFFFFFu;  // numbers: the largest value taken
  Check check = Check::None;
};

struct RowDef {
  std::string label;
  std::vector<Field> cells;
  std::string unreadText = "No Setting";  // shown for a value never read
};

// The rows of the NAM page (ending after "NAM NAME" with the NV editor
// option) and of the phone page.
const std::vector<RowDef>& NamRows(bool editorOption);
const std::vector<RowDef>& PhoneRows();
// The calibration items the third page shows when they were read.
std::vector<uint16_t> CalibrationItems();

// What the pages are formatted from.
struct Source {
  const NvImage& image;
  const NvReadFlags& flags;
  const std::array<uint32_t, kCounterCount>& counters;
  int nam = 0;
  bool editorOption = false;
};

// Whether the cell's value came from the handset (a cell with no item, or
// an item not read, has none).
bool HasValue(const Field& field, const Source& source);
std::string FormatCell(const RowDef& row, const Field& field, const Source& source);
// All three pages, formatted from `source`.
std::vector<zk::ui::NvEditorPage> BuildPages(const Source& source);

// Checks the operator's `text` for `field` and stores it into `image` (for
// NAM `nam`). The message to show when the text is refused, else nothing.
std::optional<std::string> ParseCell(const RowDef& row, const Field& field, std::string_view text, NvImage& image,
                                     int nam);

// The row of a page labelled `label` (case-insensitive), or nullptr.
const RowDef* FindRow(int page, std::string_view label, bool editorOption, int* rowIndex = nullptr);

// Dialled-digit codes (the air interface's MIN and IMSI digit encoding).
std::string DecodeDigits(uint32_t value, int digits);
std::optional<uint32_t> EncodeDigits(std::string_view digits);  // 2 or 3 digits
std::string DecodeMin1(uint32_t value);
std::optional<uint32_t> EncodeMin1(std::string_view text);  // "###-####" or seven digits

}  // namespace zk::nv::editor
