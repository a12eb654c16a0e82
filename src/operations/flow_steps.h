// Steps the firmware flows (binary download, upgrade) share: the waits that
// keep the progress window's elapsed time current, the mode entry after a
// restart with the operator's reboot prompt, raising the link, and the
// version read-back that proves the handset took the image.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zk::operations {

// Shown after each failed mode entry but the last while a flow retries.
inline constexpr const char* kRebootMessage = "Please reboot phone and then retry! We try 3 times.";

// The cause a flow reports for an AKey step: the low byte of its result.
inline int LowByte(int result) { return result & 0xFF; }

// Enters stage `name` of a main operation: in the run record always, and in
// the host's stage report when `reported` and the kind keeps one (kinds 2
// and 3 keep none).
void EnterStage(int16_t kind, const char* name, bool reported = true);

// Waits `seconds` s, refreshing the elapsed time once per second.
void WaitSecondsWithElapsed(int seconds);

// Enters diagnostic mode up to `tries` times, showing the reboot message
// between tries. kDiagModeEntered, or the last attempt's result.
int EnterDiagModeWithRetries(int16_t portIndex, int tries);

// Raises a physical line to the fast diagnostic rate; the handset's USB
// modem port needs no rate. False when the handset refused the change.
bool RaiseLink(bool usbPort);

// The "brew_script" directory beside the script at `scriptPath` (its folder
// is the text up to the last '/' or '\\'), whether it exists or not.
std::filesystem::path BrewDirectoryBeside(const std::string& scriptPath);
// The brew_script directory beside the script, else the one in the host's
// fallback directory; empty when neither exists.
std::filesystem::path FindBrewDirectory(const std::string& scriptPath);
bool IsDirectory(const std::filesystem::path& path);

// Reads the version label, hands it to a host that registered its version
// buffer and checks it against the version the loaded image names.
// 1, or 314000.
int ReadBackVersion();

}  // namespace zk::operations
