// Failure codes are formed in one place: location x 1000 + cause.
#include <gtest/gtest.h>

#include "ui/failure_code.h"
#include "ui/failure_texts.h"

namespace {

using zk::ui::FailureCode;
using zk::ui::Location;

enum class TypedCause : int { kNoAnswer = 37 };
enum class NarrowCause : char { kNoAnswer = 37 };
template <class Cause>
concept FormsCode = requires(Cause cause) { FailureCode(Location::kPrlRead, cause); };
static_assert(FormsCode<int> && FormsCode<TypedCause> && !FormsCode<NarrowCause> && !FormsCode<long>);
static_assert(FailureCode(Location::kPrlWriteOffline, TypedCause::kNoAnswer) == 403037);
static_assert(FailureCode(Location::kEmergencyPortOpen) == 601000);

TEST(FailureCode, EveryLocationIsARowOfTheTableAndSplitsBack) {
  for (const Location location :
       {Location::kBinSetBinFile, Location::kPrlRead, Location::kPrlWriteModeEntry, Location::kPrlWriteOffline,
        Location::kPrlWriteUnlock, Location::kPrlWriteFile, Location::kPrlWriteReset, Location::kPrlReadModeEntry,
        Location::kEmergencyPortOpen, Location::kEmergencyDownload}) {
    const int code = FailureCode(location, 43);
    EXPECT_EQ(zk::ui::CauseOf(code), 43);
    EXPECT_FALSE(zk::ui::LocationText(zk::ui::LocationOf(code)).empty()) << code;
  }
}

}  // namespace
