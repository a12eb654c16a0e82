// `zkdownload eri-read`, `eri-write` and `provision`: the roaming indicator
// file (/eri/eri.bin on the handset) and provisioning directories.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "command_result.h"
#include "efs_commands.h"
#include "global_options.h"
#include "input_checks.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;

struct EriOptions {
  std::string port;
  std::string spc;
  std::string path;
};

int RunEriRead(const EriOptions& options) {
  const std::string file = AbsolutePath(options.path);
  if (const std::string why = WhyNotWritable(file); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("eri-read", *port);
  const int status = record.Finish(ERIReadUSB_Interface(kOperationKind, 0, options.spc.c_str(), file.c_str(),
                                                        static_cast<short>(port->index), kLinkParam1, kLinkParam2,
                                                        kLinkParam3));
  if (status == 0) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    std::printf("ERI read from %s into %s (%s)%s\n", port->name.c_str(), file.c_str(),
                SizeText(error ? 0 : size).c_str(), record.EsnSuffix().c_str());
  }
  return status;
}

int RunEriWrite(const EriOptions& options) {
  const std::string file = AbsolutePath(options.path);
  if (const std::string why = WhyNotReadable(file, "ERI file"); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("eri-write", *port);
  const int status = record.Finish(ERIWriteUSB_Interface(kOperationKind, 0, options.spc.c_str(), file.c_str(),
                                                         static_cast<short>(port->index), kLinkParam1, kLinkParam2,
                                                         kLinkParam3));
  if (status == 0)
    std::printf("ERI %s written to /eri/eri.bin of %s%s\n", file.c_str(), port->name.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

int RunProvision(const EriOptions& options) {
  const std::string given = AbsolutePath(options.path);
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  // Like a restore: a brew_script directory as it is, else its Efs_COM<n>.
  const bool script = given.find("brew_script") != std::string::npos;
  const fs::path root = script ? fs::path(given) : fs::path(given) / ("Efs_COM" + std::to_string(port->index + 1));
  std::error_code error;
  if (!fs::is_directory(root, error) || fs::is_empty(root, error))
    return RefuseInput("provisioning directory " + root.string() + " does not exist or is empty", "");
  OperationRecord record("provision", *port);
  const int status = record.Finish(ProvisionWrite_UPST_Interface(kOperationKind, options.spc.c_str(), given.c_str(),
                                                                 static_cast<short>(port->index)));
  if (status == 0)
    std::printf("provisioning %s written to %s, handset restarted%s\n", root.c_str(), port->name.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

CLI::App* AddEriCommand(CLI::App& app, const char* name, const char* description,
                        const std::shared_ptr<EriOptions>& options) {
  auto* command = app.add_subcommand(name, description);
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  return command;
}

}  // namespace

void AddEriCommands(CLI::App& app) {
  auto read = std::make_shared<EriOptions>();
  auto* readCommand = AddEriCommand(app, "eri-read", "Read the handset's ERI file (/eri/eri.bin) into a PC file", read);
  readCommand->add_option("FILE", read->path, "file to write the ERI into (replaced if it exists)")->required();
  readCommand->footer(kGlobalOptionsFooter);
  readCommand->callback([read] { SetCommandResult(RunEriRead(*read)); });

  auto write = std::make_shared<EriOptions>();
  auto* writeCommand =
      AddEriCommand(app, "eri-write", "Write a PC file as the handset's ERI file, then restart the handset", write);
  writeCommand->add_option("FILE", write->path, "the ERI file to send")->required();
  writeCommand->footer(std::string("Waits: the switch into diagnostic mode, 2 s, the transfer, 35 s for the handset "
                                   "to restart, then the end dialog: OK serves the next handset, END stops "
                                   "(--answers END stops without asking).\n") +
                       kGlobalOptionsFooter);
  writeCommand->callback([write] { SetCommandResult(RunEriWrite(*write)); });

  auto provision = std::make_shared<EriOptions>();
  auto* provisionCommand = AddEriCommand(
      app, "provision", "Write a provisioning directory (DIR/Efs_COM<n> or a brew_script directory), then restart",
      provision);
  provisionCommand->add_option("DIR", provision->path, "directory holding Efs_COM<n>, or a brew_script directory")
      ->required();
  provisionCommand->footer(kGlobalOptionsFooter);
  provisionCommand->callback([provision] { SetCommandResult(RunProvision(*provision)); });
}

}  // namespace zk::cli
