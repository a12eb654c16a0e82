#include "emergency_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "failure_report.h"
#include "input_checks.h"
#include "global_options.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct EmergencyOptions {
  std::string port;
  std::string image;
  bool force = false;
};

int RunEmergency(const EmergencyOptions& options) {
  const std::string image = AbsolutePath(options.image);
  std::string why = WhyNotReadable(image, "image");
  // An empty image is no firmware; --force burns it all the same.
  if (options.force && why.ends_with(" is empty")) why.clear();
  if (!why.empty()) return RefuseInput(why, why.ends_with(" is empty") ? "--force burns it all the same" : "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("emergency", *port);
  const int result = EmergencyUSB_Interface(kOperationKind, 0, "", image.c_str(), 0, static_cast<short>(port->index),
                                            kLinkParam1, kLinkParam2, kLinkParam3);
  const int status = record.Finish(result);
  if (status == 0)
    std::printf("image %s burned into the handset on %s%s\n", image.c_str(), port->name.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

}  // namespace

void AddEmergencyCommand(CLI::App& app) {
  auto options = std::make_shared<EmergencyOptions>();
  auto* command = app.add_subcommand(
      "emergency", "Rescue a handset that no longer starts: burn IMAGE through its downloader");
  AddPortOption(*command, options->port);
  command->add_option("IMAGE", options->image, "the firmware image file")->required();
  command->add_flag("--force", options->force, "burn an empty image");
  command->footer(std::string("Waits: about 5 s before the burn, one acknowledgement per 2 KiB block, then 30 s for the "
                              "handset to restart with the new image.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunEmergency(*options)); });
}

}  // namespace zk::cli
