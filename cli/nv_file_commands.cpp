#include "nv_file_commands.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "nv_backup_view.h"
#include "operation_options.h"

namespace zk::cli {
namespace {

// nv-diff: the files agree, they differ; a refused file is a usage error.
constexpr int kFilesDiffer = 1;

struct ShowOptions {
  std::string file;
  bool json = false;
};

struct DiffOptions {
  std::string a;
  std::string b;
};

int Refuse(const std::string& problem) {
  std::fprintf(stderr, "zkdownload: NV backup file %s\n", problem.c_str());
  return kUsageStatus;
}

int RunShow(const ShowOptions& options) {
  const auto loaded = LoadBackupFile(options.file);
  if (!loaded.contents) return Refuse(loaded.problem);
  const auto entries = BackupEntries(*loaded.contents);
  const std::string text = options.json ? EntriesJson(entries) : EntriesTable(entries);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int RunDiff(const DiffOptions& options) {
  const auto a = LoadBackupFile(options.a);
  if (!a.contents) return Refuse(a.problem);
  const auto b = LoadBackupFile(options.b);
  if (!b.contents) return Refuse(b.problem);
  const auto lines = DiffEntries(BackupEntries(*a.contents), BackupEntries(*b.contents));
  std::printf("A: %s\nB: %s\n", options.a.c_str(), options.b.c_str());
  for (const auto& line : lines) std::printf("%s\n", line.c_str());
  if (lines.empty()) {
    std::printf("identical: every entry has the same read flag and value\n");
    return 0;
  }
  std::printf("%zu %s\n", lines.size(), lines.size() == 1 ? "entry differs" : "entries differ");
  return kFilesDiffer;
}

}  // namespace

void AddNvFileCommands(CLI::App& app) {
  auto show = std::make_shared<ShowOptions>();
  auto* showCommand = app.add_subcommand("nv-show", "Show the NV items of an NV backup file (.bak); no handset needed");
  showCommand->add_option("FILE", show->file, "the .bak file")->required();
  showCommand->add_flag("--json", show->json, "print a JSON array of {item, name, nam, read, value}");
  showCommand->callback([show] { SetCommandResult(RunShow(*show)); });

  auto diff = std::make_shared<DiffOptions>();
  auto* diffCommand = app.add_subcommand(
      "nv-diff", "Compare two NV backup files: exit 0 when they agree, 1 when they differ, 2 on a refused file");
  diffCommand->add_option("A", diff->a, "the first .bak file")->required();
  diffCommand->add_option("B", diff->b, "the second .bak file")->required();
  diffCommand->callback([diff] { SetCommandResult(RunDiff(*diff)); });
}

}  // namespace zk::cli
