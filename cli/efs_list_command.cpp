// `zkdownload efs-ls`: a handset directory listed as ls -l lists one, or the
// whole tree below it as ls -lR does.
#include <cinttypes>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "command_result.h"
#include "efs_commands.h"
#include "global_options.h"
#include "input_checks.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

constexpr int kFirstCapacity = 4096;
constexpr unsigned kDirectoryType = 1;

struct ListOptions {
  std::string port;
  std::string path;
  bool recursive = false;
};

std::string ParentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

using Tree = std::map<std::string, std::vector<const ZkEfsEntry*>>;

void PrintDirectory(const Tree& tree, const std::string& directory, bool header, bool recursive) {
  if (header) std::printf("%s:\n", directory.c_str());
  const auto found = tree.find(directory);
  if (found == tree.end()) return;
  for (const ZkEfsEntry* entry : found->second)
    std::printf("%c %10u  %s\n", entry->type == kDirectoryType ? 'd' : '-', entry->size, NameOf(entry->path).c_str());
  if (!recursive) return;
  for (const ZkEfsEntry* entry : found->second) {
    if (entry->type != kDirectoryType) continue;
    std::printf("\n");
    PrintDirectory(tree, entry->path, true, true);
  }
}

int RunList(const ListOptions& options) {
  std::string start = options.path;
  while (start.size() > 1 && start.back() == '/') start.pop_back();
  if (const std::string why = WhyNotHandsetPath(start); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("efs-ls", *port);
  std::vector<ZkEfsEntry> entries(kFirstCapacity);
  int count = 0;
  int result = EfsList_Interface(static_cast<short>(port->index), start.c_str(), options.recursive ? 1 : 0,
                                 entries.data(), static_cast<int>(entries.size()), &count);
  if (result == 1 && count > static_cast<int>(entries.size())) {
    entries.resize(static_cast<std::size_t>(count));
    result = EfsList_Interface(static_cast<short>(port->index), start.c_str(), options.recursive ? 1 : 0,
                               entries.data(), static_cast<int>(entries.size()), &count);
  }
  const int status = record.Finish(result);
  if (status != 0) return status;
  entries.resize(std::min<std::size_t>(entries.size(), static_cast<std::size_t>(count)));

  Tree tree;
  uint64_t files = 0, bytes = 0, directories = 0;
  for (const ZkEfsEntry& entry : entries) {
    tree[ParentOf(entry.path)].push_back(&entry);
    if (entry.type == kDirectoryType) {
      ++directories;
    } else {
      ++files;
      bytes += entry.size;
    }
  }
  PrintDirectory(tree, start, options.recursive, options.recursive);
  if (options.recursive) std::printf("\n");
  std::printf("%" PRIu64 " files (%s) and %" PRIu64 " directories %s %s on %s\n", files, SizeText(bytes).c_str(),
              directories, options.recursive ? "below" : "in", start.c_str(), port->name.c_str());
  return 0;
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%" PRIu64 " bytes", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", static_cast<double>(bytes) / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  }
  return text;
}

void AddEfsListCommand(CLI::App& app) {
  auto options = std::make_shared<ListOptions>();
  auto* command = app.add_subcommand("efs-ls", "List a directory of the handset's file system, with types and sizes");
  AddPortOption(*command, options->port);
  command->add_flag("-R,--recursive", options->recursive, "list every directory below it too, as ls -lR does");
  command->add_option("PATH", options->path, "handset directory, absolute (\"/\" for the whole file system)")
      ->required();
  command->footer(std::string("Lines: type (d directory, - file), size in bytes, name. Waits: the switch into "
                              "diagnostic mode (seconds), then one request per entry.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunList(*options)); });
}

}  // namespace zk::cli
