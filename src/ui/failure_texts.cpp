// The failure-code tables as data. The texts are shown to the operator and
// written into error reports exactly as they stand here, spelling included.
#include "ui/failure_texts.h"

#include <algorithm>
#include <iterator>

namespace zk::ui {
namespace {

struct LocationRow {
  int location;
  std::string_view text;
};

// Sorted by location. 107000, 301000, 302000, 304000 and 408000 to 410000
// have no text; the three NV editor mode-entry rows begin with two apostrophes.
constexpr LocationRow kLocations[] = {
    {101000, "'ChangeToDM' Function in Upgrade"},
    {102000, "'Read_NV' Function in Upgrade"},
    {103000, "'DownLoadThreadProc' Function in Upgrade"},
    {104000, "'ChangeToDM' Function in Upgrade"},
    {105000, "'Write_NV' Function in Upgrade"},
    {106000, "'PRLWrite' Function in Upgrade"},
    {108000, "'ScriptDownProcess' Function in Upgrade"},
    {109000, "'ChangeToDM' Function in Upgrade"},
    {110000, "'Read_NV' Function in Upgrade"},
    {111000, "'EfsRead' Function in Upgrade"},
    {112000, "'DownLoadThreadProc' Function in Upgrade"},
    {113000, "'ChangeToDM' Function in Upgrade"},
    {114000, "'EfsWrite' Function in Upgrade"},
    {115000, "'ScriptDownProcess' Function in Upgrade"},
    {116000, "'ChangeToDM' Function in Upgrade"},
    {117000, "'Write_NV' Function in Upgrade"},
    {118000, "'PRLWrite' Function in Upgrade"},
    {119000, "'SetBinFile' Function in Upgrade"},
    {120000, "'ModeReset' Function in Upgrade"},
    {121000, "Invalid Binary File (RB31VVxx.BIN)"},
    {122000, "Invalid Binary File (P41QRxxx.BIN)"},
    {123000, "Invalid Binary File (P41ZKxxx.BIN)"},
    {124000, "Invalid Binary File (RB31VVxx.BIN)"},
    {201000, "'SetBinFile' Function in BIN Download"},
    {202000, "'ChangeToDM' Function in BIN Download"},
    {203000, "'Read_NV' Function in BIN Download"},
    {204000, "'DownLoadThreadProc' Function in BIN Download"},
    {205000, "'ChangeToDM' Function in BIN Download"},
    {206000, "'Write_NV' Function in BIN Download"},
    {207000, "'ModeReset' Function in BIN Download"},
    {303000, "Cal Data Not Found!"},
    {305000, "'ScriptDownProcess' Function in SCR Download"},
    {306000, "'Brew_Script' Directory is out of existence"},
    {401000, "'PRLReadProc' Function in PRL Read"},
    {402000, "'ChangeToDM' Function in PRL Download"},
    {403000, "'ModeOffline_D' Function in PRL Download"},
    {404000, "'SPCWrite' Function in PRL Download"},
    {405000, "'PRLDownloadProc' Function in PRL Download"},
    {406000, "'ModeReset' Function in PRL Download"},
    {407000, "'ChangeToDM' Function in PRL Read"},
    {411000, "'PRLReadProc' Function in ERI Read"},
    {412000, "'ChangeToDM' Function in ERI Download"},
    {413000, "'ModeOffline_D' Function in ERI Download"},
    {414000, "'SPCWrite' Function in ERI Download"},
    {415000, "'ERIDownloadProc' Function in ERI Download"},
    {416000, "'ModeReset' Function in ERI Download"},
    {417000, "'ChangeToDM' Function in ERI Read"},
    {501000, "'ChangeToDM' Function in Refurbish"},
    {502000, "'Read_NV' Function in Refurbish"},
    {503000, "'DataEraseProc' Function in Refurbish"},
    {504000, "'ChangeToDM' Function in Refurbish"},
    {505000, "'Write_NV' Function in Refurbish"},
    {506000, "'ScriptDownProcess' Function in Refurbish"},
    {601000, "'PortOpen' Function in Emergency"},
    {602000, "'DownLoadThreadProc' Function in Emergency"},
    {701000, "''ChangeToDM' Function in NV Edit"},
    {702000, "'Read_NV' Function in NV Edit"},
    {703000, "''ChangeToDM' Function in NV Edit"},
    {704000, "'Write_NV' Function in NV Edit"},
    {705000, "''ChangeToDM' Function in NV Edit"},
    {706000, "'Read_NV' Function in NV Edit"},
    {707000, "Closing Process in NV Edit"},
    {801000, "'ChangeToDM' Function in File System Tool"},
    {802000, "'EfsList' Function in File System Tool"},
    {803000, "'EfsRead' Function in File System Tool"},
    {804000, "'EfsWrite' Function in File System Tool"},
};

constexpr bool SortedByLocation() {
  for (std::size_t i = 1; i < std::size(kLocations); ++i)
    if (kLocations[i - 1].location >= kLocations[i].location) return false;
  return true;
}
static_assert(SortedByLocation(), "the look-up needs the rows in ascending order");

constexpr std::string_view kNotConnectedReset = "Not Connected with Phone \r\n Reset phone and Retry";
constexpr std::string_view kNotConnected = "Not connected with phone";
constexpr std::string_view kNoAnswer = "Not any response from phone";
constexpr std::string_view kNoResponse = "No response from phone";
constexpr std::string_view kNvNoResponse = "No response from phone during NV Reading/Writing";

// Indexed by cause, 0 to 63; causes 0, 1, 12 to 19, 40 and 56 to 59 have no texts, and
// cause 50's contents come from the NV error list.
constexpr CauseTexts kCauses[] = {
    /* 0 */ {"", ""},
    /* 1 */ {"", ""},
    /* 2 */ {"Can't Change DM mode.", "Reset Phone and Retry"},
    /* 3 */ {"SPC Unlock", "Confirm valid SPC Code"},
    /* 4 */ {"Can't get Phone S/W Version Inform", "Not Connected with Phone\r\n Reset Phone and Retry"},
    /* 5 */ {"Dload_f Command fail", kNotConnectedReset},
    /* 6 */ {"Can't write Ram File to phone", kNotConnectedReset},
    /* 7 */ {"Download mode fail", kNotConnectedReset},
    /* 8 */ {"Can't erase Flash memory", " "},
    /* 9 */ {"Can't write BIN file.", " "},
    /* 10 */ {"Incorrect Binary from phone", " "},
    /* 11 */ {"Reset Fail after download", kNotConnectedReset},
    /* 12 */ {"", ""},
    /* 13 */ {"", ""},
    /* 14 */ {"", ""},
    /* 15 */ {"", ""},
    /* 16 */ {"", ""},
    /* 17 */ {"", ""},
    /* 18 */ {"", ""},
    /* 19 */ {"", ""},
    /* 20 */ {"Can't open binary file", "Confirm binary path"},
    /* 21 */ {"Invalid SPC Code", "Confirm SPC Code!"},
    /* 22 */ {"Can't read ZK.cfg file in your phone", " "},
    /* 23 */ {"zk.cfg file has problem", " "},
    /* 24 */ {"'pim' and 'sch' folder does not exist in your zk.cfg file", " "},
    /* 25 */ {"Can't get file index from '%s' folder.", kNoAnswer},
    /* 26 */ {"Can't read '%s' file from EFS.", kNoAnswer},
    /* 27 */ {"Can't read '%s' file from EFS.", "Abnormal response from phone"},
    /* 28 */ {"Can't write '%s' file to EFS.", kNoResponse},
    /* 29 */ {"Dload_f fail.", kNotConnected},
    /* 30 */ {"Can't write RAM file to phone", kNotConnected},
    /* 31 */ {"Can't change download mode", kNotConnected},
    /* 32 */ {"Can't erase flash memroy", " "},
    /* 33 */ {"Phone Reset fail", kNotConnected},
    /* 34 */ {"can't create prl file to pc", "Confirm your disk space!"},
    /* 35 */ {"Can't read prl file from phone", kNotConnected},
    /* 36 */ {"Can't change Mode offline-d", kNotConnected},
    /* 37 */ {"Can't change Mode Offline-d.", kNotConnected},
    /* 38 */ {"Can't change Mode Offline-d", kNotConnected},
    /* 39 */ {"Can't unlock spc", "Confirm spc code"},
    /* 40 */ {"", ""},
    /* 41 */ {"Can't open prl file", "Confirm that prl file path is available"},
    /* 42 */ {"Can't write prl file to phone.", kNotConnected},
    /* 43 */ {"Can't write prl file to phone.", kNotConnected},
    /* 44 */ {"Can't Reset phone.", kNotConnected},
    /* 45 */ {"Can't Reset phone.", kNotConnected},
    /* 46 */ {"Can't open Scr file", "Confirm that scr file path is available"},
    /* 47 */ {"No Response from phone during NV Reading/Writing", kNotConnected},
    /* 48 */ {"Cal data does not exist", " "},
    /* 49 */ {"Cal data does not exist", "  "},
    /* 50 */ {"", ""},
    /* 51 */ {kNvNoResponse, kNotConnected},
    /* 52 */ {kNvNoResponse, kNotConnected},
    /* 53 */ {kNvNoResponse, kNotConnected},
    /* 54 */ {"Can't remove file from EFS", kNoResponse},
    /* 55 */ {"Can't write file to EFS", kNoResponse},
    /* 56 */ {"", ""},
    /* 57 */ {"", ""},
    /* 58 */ {"", ""},
    /* 59 */ {"", ""},
    // The file-system tool's own causes.
    /* 60 */ {"'%s' does not exist in EFS.", "Confirm the path on the phone"},
    /* 61 */ {"Can't write '%s' file to PC", "Confirm the PC folder and your disk space!"},
    /* 62 */ {"Can't read PC file for '%s'", "Confirm that the PC file is available"},
    /* 63 */ {"The phone holds no prl for this NAM", "Write a prl to the phone first, or read the other NAM"},
};
static_assert(std::size(kCauses) == 64, "one row per cause from 0 to 63");

}  // namespace

int LocationOf(int code) { return code / 1000 * 1000; }
int CauseOf(int code) { return code % 1000; }

std::string_view LocationText(int location) {
  const auto* const end = std::end(kLocations);
  const auto* const row = std::lower_bound(std::begin(kLocations), end, location,
                                    [](const LocationRow& entry, int wanted) { return entry.location < wanted; });
  if (row == end || row->location != location) return {};
  return row->text;
}

CauseTexts CauseTextsOf(int cause) {
  if (cause == kCancelledCause) return {"cancelled by the host", "Start the operation again when ready"};
  if (cause < 0 || static_cast<std::size_t>(cause) >= std::size(kCauses)) return {};
  return kCauses[static_cast<std::size_t>(cause)];
}

bool CauseNamesHandsetPath(int cause) { return (cause >= 25 && cause <= 28) || (cause >= 60 && cause <= 62); }

std::string_view CalibrationNotice() { return "Please have this phone calibrated again."; }

}  // namespace zk::ui
