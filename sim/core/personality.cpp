#include "core/personality.h"

namespace rb310 {

const char* PersonalityName(Personality personality) {
  switch (personality) {
    case Personality::kAt: return "at";
    case Personality::kDiag: return "diag";
    case Personality::kDownloader: return "downloader";
    case Personality::kRestarting: return "restarting";
  }
  return "?";
}

}  // namespace rb310
