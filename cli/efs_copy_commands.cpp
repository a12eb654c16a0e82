// `zkdownload efs-get` and `efs-put`: one file between the handset's file
// system and the PC.
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

struct CopyOptions {
  std::string port;
  std::string from;
  std::string to;
};

uint64_t FileSize(const std::string& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? 0 : static_cast<uint64_t>(size);
}

int RunGet(const CopyOptions& options) {
  if (const std::string why = WhyNotHandsetPath(options.from); !why.empty()) return RefuseInput(why, "");
  std::string target = AbsolutePath(options.to);
  // A directory as the target receives the file under its handset name.
  std::error_code error;
  if (fs::is_directory(target, error)) target = (fs::path(target) / fs::path(options.from).filename()).string();
  if (const std::string why = WhyNotWritable(target); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("efs-get", *port);
  const int status = record.Finish(EfsGet_Interface(static_cast<short>(port->index), options.from.c_str(),
                                                    target.c_str()));
  if (status == 0)
    std::printf("copied %s (%s) from %s into %s\n", options.from.c_str(), SizeText(FileSize(target)).c_str(),
                port->name.c_str(), target.c_str());
  return status;
}

int RunPut(const CopyOptions& options) {
  const std::string source = AbsolutePath(options.from);
  // An empty file is a file too: only its absence or unreadability stops it.
  if (std::string why = WhyNotReadable(source, "PC file"); !why.empty() && !why.ends_with(" is empty"))
    return RefuseInput(why, "");
  if (const std::string why = WhyNotHandsetPath(options.to); !why.empty()) return RefuseInput(why, "");
  if (options.to.back() == '/') return RefuseInput("handset path '" + options.to + "' must name a file", "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("efs-put", *port);
  const int status =
      record.Finish(EfsPut_Interface(static_cast<short>(port->index), source.c_str(), options.to.c_str()));
  if (status == 0)
    std::printf("wrote %s (%s) to %s on %s; the handset holds it at that size\n", source.c_str(),
                SizeText(FileSize(source)).c_str(), options.to.c_str(), port->name.c_str());
  return status;
}

CLI::App* AddCopyCommand(CLI::App& app, const char* name, const char* description,
                         const std::shared_ptr<CopyOptions>& options) {
  auto* command = app.add_subcommand(name, description);
  AddPortOption(*command, options->port);
  return command;
}

}  // namespace

void AddEfsCopyCommands(CLI::App& app) {
  auto get = std::make_shared<CopyOptions>();
  auto* getCommand = AddCopyCommand(app, "efs-get", "Copy a file from the handset's file system to the PC", get);
  getCommand->add_option("HANDSET_PATH", get->from, "absolute handset path of the file")->required();
  getCommand->add_option("PC_PATH", get->to, "PC file to write (replaced only when the copy is complete), or a "
                                             "directory to put it in")
      ->required();
  getCommand->footer(std::string("Waits: the switch into diagnostic mode (seconds), then one request per 512 bytes.\n") +
                     kGlobalOptionsFooter);
  getCommand->callback([get] { SetCommandResult(RunGet(*get)); });

  auto put = std::make_shared<CopyOptions>();
  auto* putCommand = AddCopyCommand(app, "efs-put", "Copy a PC file into the handset's file system", put);
  putCommand->add_option("PC_PATH", put->from, "the PC file to send")->required();
  putCommand->add_option("HANDSET_PATH", put->to, "absolute handset path (directories are created, a file there is "
                                                  "replaced)")
      ->required();
  putCommand->footer(std::string("Waits: the switch into diagnostic mode (seconds), then one request per 2048 bytes; "
                                 "succeeds only when the handset reports the file at its full size.\n") +
                     kGlobalOptionsFooter);
  putCommand->callback([put] { SetCommandResult(RunPut(*put)); });
}

}  // namespace zk::cli
