#include "ui/failure_report.h"

#include "ui/failure_texts.h"

namespace zk::ui {
namespace {

// Fills the "%s" of a contents text. The path is inserted as it is, so a
// '%' in a handset path cannot be read as a format.
std::string WithHandsetPath(std::string_view contents, const std::string& path) {
  std::string text(contents);
  if (const auto mark = text.find("%s"); mark != std::string::npos) text.replace(mark, 2, path);
  return text;
}

std::string NvErrorListText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace

FailureDescription DescribeFailure(int code, const FailureContext& context) {
  FailureDescription failure;
  failure.code = code;
  failure.location = LocationOf(code);
  failure.cause = CauseOf(code);
  failure.locationText = std::string(LocationText(failure.location));

  if (failure.location == kCalibrationMissingLocation) {
    failure.contents = std::string(CalibrationNotice());
  } else if (failure.cause == kNvErrorListCause) {
    failure.contents = NvErrorListText(context.nvErrorLines);
  } else {
    const CauseTexts texts = CauseTextsOf(failure.cause);
    failure.contents = CauseNamesHandsetPath(failure.cause) ? WithHandsetPath(texts.contents, context.handsetPath)
                                                            : std::string(texts.contents);
    failure.solution = std::string(texts.solution);
  }
  failure.message = "Location : " + failure.locationText + "\r\n\r\n" + "Contents : " + failure.contents;
  return failure;
}

const std::string* ReportedFile(int location, const FailureContext& context) {
  switch (location) {
    case 103000:
    case 112000:
    case 204000:
    case 602000:
      return &context.binaryFile;
    case 108000:
    case 115000:
    case 305000:
    case 306000:
    case 506000:
      return &context.scriptFile;
    case 106000:
    case 118000:
    case 405000:
      return &context.prlFile;
    default:
      return nullptr;
  }
}

std::string BuildReportText(const FailureDescription& failure, const FailureContext& context) {
  std::string report = "Error Message Number : " + std::to_string(failure.code) + "\r\n\r\n";
  report += failure.message + "\r\n\r\n";
  if (const std::string* file = ReportedFile(failure.location, context))
    report += "Error File Name : " + *file + "\r\n";
  else
    report += "No File Name\r\n";
  if (!context.note.empty()) report += "\r\nNote : " + context.note + "\r\n";
  report += "\r\nSoftware Version : " + context.softwareVersion + "\r\n";
  report += "\r\nDLL Version : " + context.dllVersion + "\r\n";
  return report;
}

}  // namespace zk::ui
