#include "operation_options.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "input_checks.h"
#include "platform/port_map.h"
#include "platform/serial_device.h"

namespace zk::cli {
namespace fs = std::filesystem;

void AddPortOption(CLI::App& command, std::string& port) {
  command.add_option("--port", port, "COM5, \\\\.\\COM12 or a device path such as /dev/ttyUSB0")->required();
}

void AddSpcOption(CLI::App& command, std::string& spc) {
  command
      .add_option("--spc", spc, "service programming code, six digits (default: the factory code 271828)")
      ->check(CLI::Validator(
          [](const std::string& text) -> std::string {
            const bool digits = text.size() == 6 && text.find_first_not_of("0123456789") == std::string::npos;
            return digits ? std::string() : "the service programming code is six digits";
          },
          "CODE"));
}

std::optional<ResolvedPort> ResolveOperationPort(const std::string& text) {
  std::string why;
  auto port = ResolvePortOption(text, why);
  if (!port) {
    std::fprintf(stderr, "zkdownload: %s\n", why.c_str());
    return std::nullopt;
  }
  std::error_code ec;
  const auto entry = platform::PortMapEntry(port->name);
  if (!entry || !fs::is_symlink(*entry, ec)) {
    std::fprintf(stderr, "zkdownload: %s has no port map entry (%s); give the device path instead, e.g. --port "
                 "/dev/ttyUSB0\n",
                 port->name.c_str(), entry ? entry->c_str() : "?");
    return std::nullopt;
  }
  // The entry must lead to a serial line that is there now: a missing
  // device would otherwise cost a whole mode switch to find out.
  if (const std::string why = platform::WhyNotSerialDevice(entry->string()); !why.empty()) {
    std::fprintf(stderr, "zkdownload: %s points at %s: %s\n", port->name.c_str(), port->device.c_str(),
                 why.find("does not exist") != std::string::npos
                     ? "no such device (is the handset attached?)"
                     : why.c_str());
    return std::nullopt;
  }
  return port;
}

int RefuseInput(const std::string& why, const std::string& override) {
  std::fprintf(stderr, "zkdownload: %s; nothing was sent to the handset%s%s\n", why.c_str(),
               override.empty() ? "" : " (", override.empty() ? "" : (override + ")").c_str());
  return kUsageStatus;
}

void AddReportOption(CLI::App& command, std::string& report) {
  command.add_option("--report", report, "also write this run's service record as JSON to FILE");
}

int RefuseUnwritableReport(const std::string& report) {
  if (report.empty()) return 0;
  const std::string why = WhyNotWritable(report);
  return why.empty() ? 0 : RefuseInput(why, "");
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const auto absolute = fs::absolute(path, ec);
  return ec ? path : absolute.string();
}

}  // namespace zk::cli
