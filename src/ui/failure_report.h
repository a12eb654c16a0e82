// The texts of the error dialog and the error report for one failure code.
#pragma once

#include <string>

#include "ui/failure_context.h"

namespace zk::ui {

struct FailureDescription {
  int code = 0;
  int location = 0;
  int cause = 0;
  std::string locationText;
  std::string contents;
  std::string solution;
  std::string message;  // "Location : " + location text + "\r\n\r\n" + "Contents : " + contents
};

// Splits the code and looks up its texts. Unknown locations and causes give
// empty texts; location 303000 shows the calibration notice as contents.
FailureDescription DescribeFailure(int code, const FailureContext& context);

// The file the failing location worked on, or nullptr when the location
// names no file.
const std::string* ReportedFile(int location, const FailureContext& context);

// The error report handed to the error log writer.
std::string BuildReportText(const FailureDescription& failure, const FailureContext& context);

}  // namespace zk::ui
