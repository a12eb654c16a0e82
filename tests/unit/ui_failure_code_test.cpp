// Failure codes are formed in one place: location x 1000 + cause.
#include <gtest/gtest.h>

#include "ui/failure_code.h"
#include "ui/failure_texts.h"

namespace {

using zk::ui::FailureCode;
using zk::ui::Location;

enum class SomeCause : int { kNoAnswer = 37 };
enum class NarrowCause : char { kNoAnswer = 37 };

static_assert(FailureCode(Location::kPrlRead, 35) == 401035);
static_assert(FailureCode(Location::kPrlWriteOffline, SomeCause::kNoAnswer) == 403037);
static_assert(FailureCode(Location::kEmergencyPortOpen) == 601000);
// Only causes that are ints, or typed with int values, form a code.
template <class Cause>
concept FormsCode = requires(Cause cause) { FailureCode(Location::kPrlRead, cause); };
static_assert(FormsCode<int> && FormsCode<SomeCause> && !FormsCode<NarrowCause> && !FormsCode<long>);

TEST(FailureCode, EveryLocationIsARowOfTheTableAndSplitsBack) {
  for (const Location location :
       {Location::kBinSetBinFile, Location::kPrlRead, Location::kPrlWriteModeEntry, Location::kPrlWriteOffline,
        Location::kPrlWriteUnlock, Location::kPrlWriteFile, Location::kPrlWriteReset, Location::kPrlReadModeEntry,
        Location::kEmergencyPortOpen, Location::kEmergencyDownload}) {
    const int code = FailureCode(location, 43);
    EXPECT_EQ(zk::ui::LocationOf(code), static_cast<int>(location) * 1000);
    EXPECT_EQ(zk::ui::CauseOf(code), 43);
    EXPECT_FALSE(zk::ui::LocationText(zk::ui::LocationOf(code)).empty()) << code;
  }
}

}  // namespace
