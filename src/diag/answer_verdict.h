// How the link judges one answer to a request: the rule every try of an
// exchange applies, in diagnostic and in download mode.
#pragma once

#include <cstdint>
#include <span>

#include "diag/diag_requests.h"

namespace zk::diag {

enum class Verdict {
  kAccepted,  // the request's code, or in download mode an acknowledgement
  kRefused,   // download mode: any other answer; no further try
  kNegative,  // download mode: a negative acknowledgement; no further try, after a pause
  kTryAgain,  // diagnostic mode: another code counts as no answer
};

// An empty answer (a frame of check bytes alone) carries no code and is
// never accepted.
constexpr Verdict JudgeAnswer(uint8_t requestCode, std::span<const uint8_t> answer, bool downloadMode) {
  if (!downloadMode) return !answer.empty() && answer[0] == requestCode ? Verdict::kAccepted : Verdict::kTryAgain;
  if (answer.empty()) return Verdict::kRefused;
  if (answer[0] == code::kDownloadAck || answer[0] == requestCode) return Verdict::kAccepted;
  return answer[0] == code::kDownloadNak ? Verdict::kNegative : Verdict::kRefused;
}

}  // namespace zk::diag
