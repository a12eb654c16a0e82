// What the link's service steps report: typed inside the library, their
// values are the causes of the failure-code tables (the flows form the codes
// with ui/failure_code.h).
#pragma once

namespace zk::diag {

// Taking the handset offline (digital) and confirming it.
enum class OfflineResult : int {
  kConfirmed = 1,
  kOtherCode = 36,     // the offline request was answered with another code
  kNoAnswer = 37,      // the offline request was not answered
  kNotConfirmed = 38,  // the offline state was not confirmed in time
};

// The reset request after going offline.
enum class ResetResult : int {
  kDone = 1,
  kOtherCode = 44,  // the reset request was answered with another code
  kNoAnswer = 45,   // the reset request was not answered
};

// Reading a NAM's roaming list.
enum class PrlReadOutcome : int {
  kRead = 1,
  kFailed = 35,     // an exchange failed or an answer was not a list block
  kNotStored = 63,  // the handset says the NAM holds no list
};

// The unlock before writes and reads.
enum class UnlockResult : int {
  kUnlocked = 1,
  kNoAnswer = 39,  // the SPC request was not answered
};

}  // namespace zk::diag
