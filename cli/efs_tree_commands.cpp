// `zkdownload efs-backup` and `efs-restore`: the handset's whole file system
// to a PC directory and back.
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

struct TreeOptions {
  std::string port;
  std::string directory;
};

struct TreeCount {
  uint64_t files = 0;
  uint64_t bytes = 0;
  uint64_t kept = 0;  // restore: files the restore does not write
};

// Files the restore leaves out: those directly in the restore root, and
// those below a directory whose path holds "Root", "root" or "nvm/nvm".
bool RestoreSkips(const fs::path& relative) {
  if (!relative.has_parent_path()) return true;
  const std::string directory = relative.parent_path().generic_string();
  for (const char* part : {"Root", "root", "nvm/nvm"})
    if (directory.find(part) != std::string::npos) return true;
  return false;
}

TreeCount CountTree(const fs::path& root, bool restore) {
  TreeCount count;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    if (!it->is_regular_file(error) || it->is_symlink(error)) continue;
    if (restore && RestoreSkips(fs::relative(it->path(), root, error))) {
      ++count.kept;
      continue;
    }
    ++count.files;
    count.bytes += it->file_size(error);
  }
  return count;
}

std::string BackupName(int portIndex) { return "Efs_COM" + std::to_string(portIndex + 1); }

int RunBackup(const TreeOptions& options) {
  const std::string base = AbsolutePath(options.directory);
  if (const std::string why = WhyNotWritableDirectory(base); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("efs-backup", *port);
  const int status = record.Finish(EfsBackup_Interface(static_cast<short>(port->index), base.c_str()));
  if (status == 0) {
    const fs::path backup = fs::path(base) / BackupName(port->index);
    const TreeCount count = CountTree(backup, false);
    std::printf("backed up %llu files (%s) from %s into %s%s\n", static_cast<unsigned long long>(count.files),
                SizeText(count.bytes).c_str(), port->name.c_str(), backup.c_str(), record.EsnSuffix().c_str());
  }
  return status;
}

int RunRestore(const TreeOptions& options) {
  const std::string given = AbsolutePath(options.directory);
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  // The library reads a "brew_script" directory as it is, any other from
  // its Efs_COM<n> directory for the port.
  const bool script = given.find("brew_script") != std::string::npos;
  const fs::path root = script ? fs::path(given) : fs::path(given) / BackupName(port->index);
  std::error_code error;
  if (!fs::is_directory(root, error))
    return RefuseInput("restore directory " + root.string() + " does not exist",
                       script ? "" : "give the directory that holds " + BackupName(port->index));
  const TreeCount count = CountTree(root, true);
  if (count.files == 0) return RefuseInput(root.string() + " holds no file the restore would write", "");
  OperationRecord record("efs-restore", *port);
  const int status = record.Finish(EfsRestore_Interface(static_cast<short>(port->index), given.c_str()));
  if (status == 0) {
    std::printf("restored %llu files (%s) from %s to %s%s\n", static_cast<unsigned long long>(count.files),
                SizeText(count.bytes).c_str(), root.c_str(), port->name.c_str(), record.EsnSuffix().c_str());
    if (count.kept != 0)
      std::printf("left out %llu files under Root, root, nvm/nvm or directly in %s, as a restore does\n",
                  static_cast<unsigned long long>(count.kept), root.c_str());
  }
  return status;
}

}  // namespace

void AddEfsTreeCommands(CLI::App& app) {
  auto backup = std::make_shared<TreeOptions>();
  auto* backupCommand =
      app.add_subcommand("efs-backup", "Copy the handset's whole file system into DIR/Efs_COM<n>");
  AddPortOption(*backupCommand, backup->port);
  backupCommand->add_option("DIR", backup->directory, "base directory (made if missing); an earlier "
                                                      "DIR/Efs_COM<n> of the same port is replaced")
      ->required();
  backupCommand->footer(std::string("Waits: the switch into diagnostic mode (seconds), then one request per 512 bytes "
                                    "of each file.\n") +
                        kGlobalOptionsFooter);
  backupCommand->callback([backup] { SetCommandResult(RunBackup(*backup)); });

  auto restore = std::make_shared<TreeOptions>();
  auto* restoreCommand = app.add_subcommand(
      "efs-restore", "Write a backup (DIR/Efs_COM<n>) or a brew_script directory into the handset's file system");
  AddPortOption(*restoreCommand, restore->port);
  restoreCommand->add_option("DIR", restore->directory, "directory holding Efs_COM<n>, or a brew_script directory")
      ->required();
  restoreCommand->footer(std::string("Files under Root, root or nvm/nvm are not written. Waits: the switch into "
                                     "diagnostic mode (seconds), then one request per 2048 bytes of each file.\n") +
                         kGlobalOptionsFooter);
  restoreCommand->callback([restore] { SetCommandResult(RunRestore(*restore)); });
}

}  // namespace zk::cli
