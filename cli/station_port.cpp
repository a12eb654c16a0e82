#include "station_port.h"

#include <cstdlib>

namespace zk::cli {
namespace {

// The percentage text without the blanks the window centres it with.
std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool ApplyEvent(StationPort& port, const std::vector<std::string>& fields) {
  if (fields.empty()) return false;
  const std::string& event = fields[0];
  const auto field = [&fields](std::size_t i) -> const std::string& {
    static const std::string kNone;
    return i < fields.size() ? fields[i] : kNone;
  };
  if (event == "stage") {
    port.stage = field(1);
    return true;
  }
  if (event == "text") {
    const std::string& control = field(1);
    if (control == "status") {
      const bool changed = port.status != field(2);
      port.status = field(2);
      return changed;
    }
    if (control == "detail") port.detail = field(2);
    if (control == "elapsed") port.elapsed = field(2);
    return false;
  }
  if (event == "bar") {
    port.percent = Trimmed(field(4));
    return false;
  }
  if (event == "error") {
    port.failureCode = std::atoi(field(1).c_str());
    // The message is "Location : ...\r\n\r\nContents : ..."; the contents
    // say what went wrong in the technician's words.
    const std::string& message = field(2);
    const auto contents = message.find("Contents : ");
    port.failureText = contents == std::string::npos ? message : message.substr(contents + 11);
    while (!port.failureText.empty() && (port.failureText.back() == '\n' || port.failureText.back() == '\r'))
      port.failureText.pop_back();
    return false;
  }
  if (event == "end") {
    if (!field(1).empty()) port.elapsed = field(1);
    return false;
  }
  return false;
}

void BeginHandset(StationPort& port) {
  port.stage.clear();
  port.status.clear();
  port.detail.clear();
  port.percent.clear();
  port.elapsed.clear();
  port.failureCode = 0;
  port.failureText.clear();
  port.busy = true;
}

void EndHandset(StationPort& port, bool succeeded, const std::string& result) {
  port.busy = false;
  ++port.served;
  if (!succeeded) ++port.failed;
  port.lastResult = result;
}

std::string WorkerResultText(const StationPort& port, int status) {
  if (status == 0) return "done";
  if (status < 0) return "worker died (signal " + std::to_string(-status) + ")";
  if (port.failureCode > 1) return "failed " + std::to_string(port.failureCode);
  return "failed (exit " + std::to_string(status) + ")";
}

}  // namespace zk::cli
