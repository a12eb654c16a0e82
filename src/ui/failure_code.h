// Forming a failure code: location x 1000 + cause. The location names the
// failing step of an operation (the rows of failure_texts.cpp), the cause
// what went wrong (a module's typed result, or a number). The one place the
// six-digit codes are put together.
#pragma once

#include <type_traits>

namespace zk::ui {

// The thousands of the failure locations the flows report so far; the
// others join as their flows land.
enum class Location : int {
  kUpgradeModeEntry = 101,        // staged upgrade: first mode entry
  kUpgradeReadNv = 102,           // staged: NV backup read; full: AKey read
  kUpgradeDownload = 103,         // staged: image download
  kUpgradeFinalModeEntry = 104,   // staged: after the download; full: after the final reset
  kUpgradeWriteNv = 105,          // staged: NV restore; full: AKey write
  kUpgradePrlWrite = 106,         // staged: PRL write
  kUpgradeBrewWrite = 107,        // staged: writing the BREW script directory
  kUpgradeScript = 108,           // staged: the script download (and its warnings for a host)
  kUpgradeFullModeEntry = 109,    // full upgrade: first mode entry
  kUpgradeFullReadNv = 110,       // full: NV backup read
  kUpgradeEfsRead = 111,          // 'EfsRead' in Upgrade
  kUpgradeFullDownload = 112,     // full: image download
  kUpgradeRestartModeEntry = 113, // full: mode entry after the download
  kUpgradeEfsWrite = 114,         // 'EfsWrite' in Upgrade
  kUpgradeFullScript = 115,       // full: the script download
  kUpgradeLateModeEntry = 116,    // 'ChangeToDM' in Upgrade, after the restart
  kUpgradeFullWriteNv = 117,      // full: NV restore
  kUpgradeFullPrlWrite = 118,     // full: PRL write
  kUpgradeSetBinFile = 119,       // the image file of an upgrade
  kUpgradeReset = 120,            // 'ModeReset' in Upgrade
  kUpgradeCalibration = 303,      // staged upgrade: the calibration check (as in SCR Download)
  kUpgradeNoBrewDirectory = 306,  // staged upgrade: no brew_script directory (as in SCR Download)
  kUpgradeOffline = 403,          // staged upgrade: going offline (as in PRL Download)
  kUpgradeUnlock = 404,           // full upgrade: the unlock (as in PRL Download)
  kBinImageName = 121,            // the image's name lacks the model's prefix
  kBinSetBinFile = 201,           // the image file of a download
  kBinModeEntry = 202,            // 'ChangeToDM' in BIN Download (first entry, final check)
  kBinReadNv = 203,               // 'Read_NV' in BIN Download (NV items, AKeys)
  kBinDownload = 204,             // 'DownLoadThreadProc' in BIN Download
  kBinLateModeEntry = 205,        // 'ChangeToDM' in BIN Download, after the restart
  kBinWriteNv = 206,              // 'Write_NV' in BIN Download (NV items, AKeys)
  kBinReset = 207,                // 'ModeReset' in BIN Download
  kBinVersion = 314,              // the version read back after a download
  kScriptBrewWrite = 107,         // writing the BREW script directory in a script download
  kScriptModeEntry = 301,         // 'ChangeToDM' in SCR Download
  kLinkSpeed = 301,               // the same location: raising the link to the fast rate
  kScriptPrlWrite = 302,          // the PRL step of SCR Download
  kScriptCalibration = 303,       // the calibration check of SCR Download
  kScriptRun = 305,               // 'ScriptDownProcess' in SCR Download
  kScriptNoBrewDirectory = 306,   // no brew_script directory in SCR Download
  kScriptOffline = 403,           // the offline step of SCR Download (as in PRL Download)
  kScriptUnlock = 404,            // the unlock of SCR Download (as in PRL Download)
  kPrlRead = 401,                 // 'PRLReadProc' in PRL Read
  kPrlWriteModeEntry = 402,       // 'ChangeToDM' in PRL Download
  kPrlWriteOffline = 403,         // 'ModeOffline_D' in PRL Download
  kPrlWriteUnlock = 404,          // 'SPCWrite' in PRL Download
  kPrlWriteFile = 405,            // 'PRLDownloadProc' in PRL Download
  kPrlWriteReset = 406,           // 'ModeReset' in PRL Download
  kPrlReadModeEntry = 407,        // 'ChangeToDM' in PRL Read
  kEriWriteModeEntry = 412,       // 'ChangeToDM' in ERI Download
  kEriWriteOffline = 413,         // 'ModeOffline_D' in ERI Download
  kEriWriteUnlock = 414,          // 'SPCWrite' in ERI Download
  kEriWriteReset = 416,           // 'ModeReset' in ERI Download
  kEriReadModeEntry = 417,        // 'ChangeToDM' in ERI Read
  kRefurbishModeEntry = 501,      // 'ChangeToDM' in Refurbish
  kRefurbishRateRaise = 301,      // raising the line rate in Refurbish (with cause 1; SCR Download's row)
  kRefurbishReadNv = 502,         // 'Read_NV' in Refurbish (NV items, AKeys)
  kRefurbishErase = 503,          // 'DataEraseProc' in Refurbish
  kRefurbishLateModeEntry = 504,  // 'ChangeToDM' in Refurbish, after the erase
  kRefurbishWriteNv = 505,        // 'Write_NV' in Refurbish (NV items, AKeys)
  kRefurbishScript = 506,         // 'ScriptDownProcess' in Refurbish (brew_script, script)
  kScriptDownModeEntry = 501,     // the same location: mode entry of the unattended script download
  kScriptDownRun = 506,           // 'ScriptDownProcess' in the unattended script download
  kEmergencyPortOpen = 601,       // 'PortOpen' in Emergency
  kEmergencyDownload = 602,       // 'DownLoadThreadProc' in Emergency
  kEfsToolModeEntry = 801,        // 'ChangeToDM' in File System Tool
  kEfsToolList = 802,             // 'EfsList' in File System Tool
  kEfsToolRead = 803,             // 'EfsRead' in File System Tool (get, backup)
  kEfsToolWrite = 804,            // 'EfsWrite' in File System Tool (put, restore)
};

// A cause: a typed result whose values are causes, or a plain number.
template <class Cause>
concept FailureCause = std::is_same_v<Cause, int> ||
                       (std::is_enum_v<Cause> && std::is_same_v<std::underlying_type_t<Cause>, int>);

template <FailureCause Cause>
constexpr int FailureCode(Location location, Cause cause) {
  return static_cast<int>(location) * 1000 + static_cast<int>(cause);
}

// A location whose code carries no cause.
constexpr int FailureCode(Location location) { return FailureCode(location, 0); }

}  // namespace zk::ui
