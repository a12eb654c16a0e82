#include "identity_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "failure_report.h"
#include "global_options.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

int RunIdentity(const std::string& portText) {
  const auto port = ResolveOperationPort(portText);
  if (!port) return kUsageStatus;
  char versionLabel[16] = {};
  char vendorText[16] = {};
  unsigned int esn = 0, value20 = 0, value21 = 0;
  OperationRecord record("identity", *port);
  const int result = ReadHandsetIdentity_Interface(kOperationKind, static_cast<short>(port->index), versionLabel,
                                                   &esn, vendorText, &value20, &value21);
  if (result == 1) record.SetEsn(esn);
  const int status = record.Finish(result);
  if (status != 0) return status;
  std::printf("%s: diagnostic mode entered through the AT switch\n", port->name.c_str());
  std::printf("version label  %s\n", versionLabel);
  std::printf("ESN            %08X\n", esn);
  std::printf("vendor text    %s\n", vendorText);
  std::printf("vendor values  20: 0x%08X  21: 0x%08X\n", value20, value21);
  std::printf("%s: handset taken offline and reset\n", port->name.c_str());
  return 0;
}

}  // namespace

void AddIdentityCommand(CLI::App& app) {
  auto port = std::make_shared<std::string>();
  auto* command = app.add_subcommand(
      "identity", "Enter diagnostic mode, read the version label and identity, then take the handset offline and reset it");
  AddPortOption(*command, *port);
  command->footer(std::string("Waits: the switch into diagnostic mode (seconds), then up to 15 s for the reset.\n") +
                  kGlobalOptionsFooter);
  command->callback([port] { SetCommandResult(RunIdentity(*port)); });
}

}  // namespace zk::cli
