// The command's one-line failure report, built from the library's tables.
#include <gtest/gtest.h>

#include "cli/failure_report.h"

namespace {

using zk::cli::FailureHint;
using zk::cli::FailureLine;

TEST(CliFailureLine, CodeWithLocationAndContents) {
  EXPECT_EQ(FailureLine(405043),
            "405043 'PRLDownloadProc' Function in PRL Download \u2014 Can't write prl file to phone.");
  EXPECT_EQ(FailureLine(401034), "401034 'PRLReadProc' Function in PRL Read \u2014 can't create prl file to pc");
}

TEST(CliFailureLine, MissingPartsAreLeftOut) {
  // A whole location without a cause has no contents, so no dash either.
  EXPECT_EQ(FailureLine(406000), "406000 'ModeReset' Function in PRL Download");
  EXPECT_EQ(FailureLine(123456), "123456 Invalid Binary File (P41ZKxxx.BIN)");
  // A cause the tables know under a location they do not.
  EXPECT_EQ(FailureLine(7), "7 Download mode fail");
}

TEST(CliFailureLine, UnknownCodes) {
  EXPECT_EQ(FailureLine(zk::cli::kNotAvailableCode), "999000 operation not available in this version");
  EXPECT_EQ(FailureLine(98765), "98765");
  EXPECT_EQ(FailureLine(-5), "-5");
}

TEST(CliFailureLine, HintsAreSingleLinesAndBlankHintsAreNone) {
  EXPECT_EQ(FailureHint(405041), "Confirm that prl file path is available");
  EXPECT_EQ(FailureHint(102004), "Not Connected with Phone Reset Phone and Retry");
  EXPECT_EQ(FailureHint(103008), "");
  EXPECT_EQ(FailureHint(98765), "");
}

}  // namespace
