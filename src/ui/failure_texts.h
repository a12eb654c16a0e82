// The failure-code tables: what each location (the failing step) and each
// cause (what went wrong) of a failure code reads as in the error dialog.
//
// A failure code is location x 1000 + cause. Codes outside the tables read
// as empty texts; nothing here fails on an unknown code.
#pragma once

#include <string_view>

namespace zk::ui {

// Location 303000: the calibration data check of the script download.
inline constexpr int kCalibrationMissingLocation = 303000;
// Cause 50: the NV passes completed with failed items; the NV error list
// stands in for the contents text.
inline constexpr int kNvErrorListCause = 50;
// Cause 90: the host cancelled the operation; the location stays the step
// that was running. Far above the numbered causes so that none meets it.
inline constexpr int kCancelledCause = 90;

struct CauseTexts {
  std::string_view contents;  // may hold one "%s" for the handset path (causes 25 to 28, 60 to 62)
  std::string_view solution;
};

// Location = code / 1000 x 1000 and cause = code mod 1000.
int LocationOf(int code);
int CauseOf(int code);

// Location text, empty for a location the table does not name.
std::string_view LocationText(int location);

// Contents and solution texts of a cause, empty for causes without texts.
CauseTexts CauseTextsOf(int cause);

// True for the causes whose contents name the handset path (25 to 28, 60 to 62).
bool CauseNamesHandsetPath(int cause);

// The one-line notice shown as contents for location 303000.
std::string_view CalibrationNotice();

}  // namespace zk::ui
