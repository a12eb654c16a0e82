// The failure-code tables, the texts of the error dialog and the error
// report built from them.
#include <gtest/gtest.h>

#include <string>

#include "ui/failure_report.h"
#include "ui/failure_texts.h"

namespace {

using namespace zk::ui;

TEST(FailureTexts, LocationTableEntries) {
  EXPECT_EQ(LocationText(101000), "'ChangeToDM' Function in Upgrade");
  EXPECT_EQ(LocationText(124000), "Invalid Binary File (RB31VVxx.BIN)");
  EXPECT_EQ(LocationText(122000), "Invalid Binary File (P41QRxxx.BIN)");
  EXPECT_EQ(LocationText(207000), "'ModeReset' Function in BIN Download");
  EXPECT_EQ(LocationText(306000), "'Brew_Script' Directory is out of existence");
  EXPECT_EQ(LocationText(417000), "'ChangeToDM' Function in ERI Read");
  EXPECT_EQ(LocationText(602000), "'DownLoadThreadProc' Function in Emergency");
  // The NV editor's mode-entry rows start with two apostrophes, the others with one.
  EXPECT_EQ(LocationText(701000), "''ChangeToDM' Function in NV Edit");
  EXPECT_EQ(LocationText(705000), "''ChangeToDM' Function in NV Edit");
  EXPECT_EQ(LocationText(706000), "'Read_NV' Function in NV Edit");
  EXPECT_EQ(LocationText(707000), "Closing Process in NV Edit");
}

TEST(FailureTexts, LocationsWithoutTextAreEmpty) {
  for (int location : {0, 1000, 100000, 107000, 125000, 301000, 302000, 304000, 408000, 409000, 410000, 708000,
                       999000, 101001, -101000})
    EXPECT_TRUE(LocationText(location).empty()) << location;
}

TEST(FailureTexts, CauseTableEntries) {
  EXPECT_EQ(CauseTextsOf(2).contents, "Can't Change DM mode.");
  EXPECT_EQ(CauseTextsOf(2).solution, "Reset Phone and Retry");
  // Cause 4 differs from 5 to 7 in its solution's spacing and capitals.
  EXPECT_EQ(CauseTextsOf(4).solution, "Not Connected with Phone\r\n Reset Phone and Retry");
  EXPECT_EQ(CauseTextsOf(6).solution, "Not Connected with Phone \r\n Reset phone and Retry");
  EXPECT_EQ(CauseTextsOf(8).solution, " ");
  EXPECT_EQ(CauseTextsOf(32).contents, "Can't erase flash memroy");
  EXPECT_EQ(CauseTextsOf(34).contents, "can't create prl file to pc");
  EXPECT_EQ(CauseTextsOf(37).contents, "Can't change Mode Offline-d.");
  EXPECT_EQ(CauseTextsOf(38).contents, "Can't change Mode Offline-d");
  EXPECT_EQ(CauseTextsOf(47).contents, "No Response from phone during NV Reading/Writing");
  EXPECT_EQ(CauseTextsOf(49).solution, "  ");
  EXPECT_EQ(CauseTextsOf(53).contents, "No response from phone during NV Reading/Writing");
  EXPECT_EQ(CauseTextsOf(55).contents, "Can't write file to EFS");
  EXPECT_EQ(CauseTextsOf(55).solution, "No response from phone");
}

TEST(FailureTexts, CausesWithoutTextAreEmpty) {
  for (int cause : {0, 1, 12, 15, 19, 40, 50, 56, 57, 500, 999, -1, -999}) {
    EXPECT_TRUE(CauseTextsOf(cause).contents.empty()) << cause;
    EXPECT_TRUE(CauseTextsOf(cause).solution.empty()) << cause;
  }
}

TEST(FailureDescription, SplitsCodeIntoLocationAndCause) {
  const FailureDescription failure = DescribeFailure(405041, {});
  EXPECT_EQ(failure.location, 405000);
  EXPECT_EQ(failure.cause, 41);
  EXPECT_EQ(failure.message,
            "Location : 'PRLDownloadProc' Function in PRL Download\r\n\r\nContents : Can't open prl file");
  EXPECT_EQ(failure.solution, "Confirm that prl file path is available");
}

TEST(FailureDescription, WholeLocationHasEmptyContents) {
  const FailureDescription failure = DescribeFailure(120000, {});
  EXPECT_EQ(failure.message, "Location : 'ModeReset' Function in Upgrade\r\n\r\nContents : ");
  EXPECT_EQ(failure.solution, "");
}

TEST(FailureDescription, NvErrorListStandsForCause50) {
  FailureContext context;
  context.nvErrorLines = {"NV_ESN_I : No response from the Phone", "NV_MIN1_I : No response from the Phone"};
  const FailureDescription failure = DescribeFailure(102050, context);
  EXPECT_EQ(failure.locationText, "'Read_NV' Function in Upgrade");
  EXPECT_EQ(failure.contents,
            "NV_ESN_I : No response from the Phone\r\nNV_MIN1_I : No response from the Phone\r\n");
  EXPECT_EQ(failure.solution, "");
  // The bare warning code 50 has no location text but still lists the items.
  EXPECT_EQ(DescribeFailure(50, context).message,
            "Location : \r\n\r\nContents : NV_ESN_I : No response from the Phone\r\n"
            "NV_MIN1_I : No response from the Phone\r\n");
}

TEST(FailureDescription, CalibrationLocationShowsItsNotice) {
  for (int code : {303000, 303048}) {
    const FailureDescription failure = DescribeFailure(code, {});
    EXPECT_EQ(failure.locationText, "Cal Data Not Found!");
    EXPECT_EQ(failure.contents, CalibrationNotice());
    EXPECT_NE(failure.contents.find("calibrat"), std::string::npos);
    EXPECT_EQ(failure.solution, "");
  }
}

TEST(FailureDescription, HandsetPathFillsCauses25To28Verbatim) {
  FailureContext context;
  context.handsetPath = "brew/mod/%s%n100.mif";  // a '%' in a handset name is not a format
  EXPECT_EQ(DescribeFailure(111025, context).contents, "Can't get file index from 'brew/mod/%s%n100.mif' folder.");
  EXPECT_EQ(DescribeFailure(114028, context).contents, "Can't write 'brew/mod/%s%n100.mif' file to EFS.");
  EXPECT_EQ(DescribeFailure(111027, context).solution, "Abnormal response from phone");
  // Other causes keep their text as it is.
  EXPECT_EQ(DescribeFailure(111029, context).contents, "Dload_f fail.");
}

TEST(FailureDescription, UnknownCodesGiveEmptyTexts) {
  for (int code : {0, 999999, 107999, 410040, -5, -101002, 2147483647}) {
    const FailureDescription failure = DescribeFailure(code, {});
    EXPECT_EQ(failure.message, "Location : \r\n\r\nContents : ") << code;
    EXPECT_EQ(failure.solution, "") << code;
  }
  // Each half is looked up on its own: a location without text keeps its cause's.
  const FailureDescription half = DescribeFailure(408003, {});
  EXPECT_EQ(half.message, "Location : \r\n\r\nContents : SPC Unlock");
  EXPECT_EQ(half.solution, "Confirm valid SPC Code");
}

TEST(FailureReport, FileNameRules) {
  FailureContext context;
  context.binaryFile = "/images/RB31VV10.BIN";
  context.scriptFile = "/scripts/rb310.scr";
  context.prlFile = "/prl/verizon.prl";
  for (int location : {103000, 112000, 204000, 602000})
    EXPECT_EQ(ReportedFile(location, context), &context.binaryFile) << location;
  for (int location : {108000, 115000, 305000, 306000, 506000})
    EXPECT_EQ(ReportedFile(location, context), &context.scriptFile) << location;
  for (int location : {106000, 118000, 405000})
    EXPECT_EQ(ReportedFile(location, context), &context.prlFile) << location;
  for (int location : {0, 101000, 401000, 404000, 601000, 707000})
    EXPECT_EQ(ReportedFile(location, context), nullptr) << location;
}

TEST(FailureReport, NamesThePrlFileForAPrlDownloadFailure) {
  FailureContext context;
  context.prlFile = "/prl/verizon.prl";
  context.softwareVersion = "RB31VV07";
  context.dllVersion = "0.1.0";
  const FailureDescription failure = DescribeFailure(405020, context);
  EXPECT_EQ(BuildReportText(failure, context),
            "Error Message Number : 405020\r\n\r\n"
            "Location : 'PRLDownloadProc' Function in PRL Download\r\n\r\nContents : Can't open binary file\r\n\r\n"
            "Error File Name : /prl/verizon.prl\r\n"
            "\r\nSoftware Version : RB31VV07\r\n"
            "\r\nDLL Version : 0.1.0\r\n");
}

TEST(FailureReport, SaysNoFileNameWhereTheLocationNamesNone) {
  FailureContext context;
  context.prlFile = "/prl/verizon.prl";
  const std::string report = BuildReportText(DescribeFailure(401020, context), context);
  EXPECT_NE(report.find("\r\n\r\nNo File Name\r\n\r\nSoftware Version : \r\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("verizon"), std::string::npos);
}

TEST(FailureReport, CarriesTheLinksNoteWhenThereIsOne) {
  FailureContext context;
  context.note = "the handset refused the service programming code";
  const std::string report = BuildReportText(DescribeFailure(405043, context), context);
  EXPECT_NE(report.find("\r\nNote : the handset refused the service programming code\r\n\r\nSoftware Version"),
            std::string::npos)
      << report;
  context.note.clear();
  EXPECT_EQ(BuildReportText(DescribeFailure(405043, context), context).find("Note"), std::string::npos);
}

}  // namespace
