// The fixed waits, attempt counts and line rates of diagnostic mode entry and
// of the command builders. Nothing adapts to the handset's pace.
#pragma once

namespace zk::diag::entry {

// Line rates.
inline constexpr int kAtRate = 19200;       // AT commands
inline constexpr int kLegacyRate = 38400;   // port default and the legacy diagnostic rate
inline constexpr int kFastRate = 115200;    // diagnostic rate after the switch or the speed change

// Opening the port.
inline constexpr int kPortOpenAttempts = 10;
inline constexpr int kPortOpenPauseMs = 500;

// Probing.
inline constexpr int kProbeAttempts = 5;
inline constexpr int kAtPauseMs = 200;           // after each standard AT command
inline constexpr int kLegacyEsnRequests = 3;
inline constexpr int kMakerSwitchPauseMs = 1000;  // after each maker's AT command

// Confirming a usable state.
inline constexpr int kUsableStatePasses = 11;
inline constexpr int kStatusPauseMs = 1000;  // between going offline and the status request

// Speed change.
inline constexpr int kSpeedChecks = 2;

}  // namespace zk::diag::entry

namespace zk::diag::pace {

inline constexpr int kKeyPauseMs = 100;       // before each key press and after each key step
inline constexpr int kOfflineSettleMs = 600;  // between the offline request and its status check
inline constexpr int kOfflineAttempts = 12;

}  // namespace zk::diag::pace
