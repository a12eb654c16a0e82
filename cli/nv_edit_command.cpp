#include "nv_edit_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "command_result.h"
#include "global_options.h"
#include "nv/nv_editor_fields.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;
namespace editor = zk::nv::editor;

struct NvEditOptions {
  std::string port;
  std::string spc;
  bool show = false;
  bool json = false;
  int nam = -1;
  std::vector<std::string> sets;
  bool write = false;
};

// "ROW=VALUE" or "ROW#K=VALUE": checks it against the editor's rows and
// parses the value as the editor would. The editor command, or empty after
// printing why it was refused.
std::string CheckSet(const std::string& text, int nam) {
  const auto equals = text.find('=');
  std::string label = text.substr(0, equals == std::string::npos ? text.size() : equals);
  if (equals == std::string::npos || label.empty()) {
    std::fprintf(stderr, "zkdownload: --set %s: write ROW=VALUE or ROW#K=VALUE\n", text.c_str());
    return {};
  }
  const std::string value = text.substr(equals + 1);
  if (value.find_first_of("\r\n") != std::string::npos) {
    std::fprintf(stderr, "zkdownload: --set %s: a value is one line\n", label.c_str());
    return {};
  }
  int cell = 0;
  if (const auto hash = label.rfind('#'); hash != std::string::npos) {
    const std::string number = label.substr(hash + 1);
    if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(number) < 1) {
      std::fprintf(stderr, "zkdownload: --set %s: K in ROW#K counts cells from 1\n", text.c_str());
      return {};
    }
    cell = std::stoi(number) - 1;
    label.erase(hash);
  }
  const editor::RowDef* row = editor::FindRow(editor::kNamPage, label, false);
  if (row == nullptr) row = editor::FindRow(editor::kPhonePage, label, false);
  if (row == nullptr) {
    std::fprintf(stderr, "zkdownload: --set: no editable row \"%s\" (nv-edit --show lists the rows)\n",
                 label.c_str());
    return {};
  }
  if (cell >= static_cast<int>(row->cells.size())) {
    std::fprintf(stderr, "zkdownload: --set: \"%s\" has %zu cell(s)\n", row->label.c_str(), row->cells.size());
    return {};
  }
  zk::nv::NvImage scratch{};
  if (const auto refusal =
          editor::ParseCell(*row, row->cells[static_cast<std::size_t>(cell)], value, scratch, nam < 0 ? 0 : nam)) {
    std::fprintf(stderr, "zkdownload: --set %s refused:\n%s\n", text.c_str(), refusal->c_str());
    return {};
  }
  return "set " + row->label + (cell > 0 ? "#" + std::to_string(cell + 1) : "") + "=" + value;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunNvEdit(const NvEditOptions& options) {
  const bool scripted = options.show || options.write || !options.sets.empty() || options.nam >= 0;
  std::vector<std::string> commands;
  if (options.nam >= 0) commands.push_back("nam " + std::to_string(options.nam));
  // Every value is checked before the port opens: a refused one writes nothing.
  for (const std::string& set : options.sets) {
    std::string command = CheckSet(set, options.nam);
    if (command.empty()) return 1;
    commands.push_back(std::move(command));
  }
  if (options.write) commands.push_back("write");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;

  fs::path pages;
  if (scripted) {
    // A private directory of this run receives the pages from the editor.
    std::string directory = (fs::temp_directory_path() / "zkdownload-nv-edit-XXXXXX").string();
    if (mkdtemp(directory.data()) == nullptr) {
      std::fprintf(stderr, "zkdownload: nv-edit: no temporary directory for the pages\n");
      return 1;
    }
    pages = fs::path(directory) / "pages";
    commands.push_back(std::string(options.json ? "json " : "save ") + pages.string());
    commands.push_back("exit");
    std::string script;
    for (const auto& command : commands) script += command + "\n";
    setenv("ZKDOWNLOAD_UI", "console", 1);  // the editor script drives the console's editor
    setenv("ZKDOWNLOAD_EDITOR_SCRIPT", script.c_str(), 1);
  }

  OperationRecord record("nv-edit", *port);
  const int result = NVEditUSB_Interface(kOperationKind, 0, options.spc.c_str(), static_cast<short>(port->index),
                                         kLinkParam1, kLinkParam2, kLinkParam3);
  unsetenv("ZKDOWNLOAD_EDITOR_SCRIPT");
  int status = record.Finish(result);
  std::error_code error;
  const std::string shown = scripted ? ReadText(pages) : std::string();
  if (scripted) fs::remove_all(pages.parent_path(), error);
  if (status != 0) return status;
  if (options.write) {
    const int written = NVEditLastWrite_Interface();
    if (written != 1) {
      std::fprintf(stderr, "zkdownload: nv-edit: the write did not complete (%s)\n",
                   written == 0 ? "nothing was sent: the editor refused a value" : std::to_string(written).c_str());
      return 1;
    }
  }
  if (options.show) std::fputs(shown.c_str(), stdout);
  if (options.write)
    std::printf("NV settings written into the handset on %s and taken; the handset restarted%s\n",
                port->name.c_str(), record.EsnSuffix().c_str());
  return 0;
}

}  // namespace

void AddNvEditCommand(CLI::App& app) {
  auto options = std::make_shared<NvEditOptions>();
  auto* command = app.add_subcommand("nv-edit", "Show and change the handset's NV settings in the NV editor");
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  command->add_flag("--show", options->show, "print the pages as read (after --set/--write: as they end)");
  command->add_flag("--json", options->json, "with --show: the pages as JSON");
  command->add_option("--nam", options->nam, "the NAM whose rows --show and --set use: 0 or 1 (default 0)")
      ->check(CLI::Range(0, 1));
  command->add_option("--set", options->sets,
                      "ROW=VALUE: the first cell of the row labelled ROW (case-insensitive), or ROW#K=VALUE for "
                      "cell K (1, 2, ...); repeatable");
  command->add_flag("--write", options->write, "write the changed settings into the handset");
  command->footer(std::string(
                      "Without --show, --set, --nam or --write the editor runs interactively on the console "
                      "(\"help\" lists its commands). Every --set value is checked as the editor checks it before "
                      "the port opens; a refused one prints its message, exits 1 and writes nothing. Waits: the "
                      "switch into diagnostic mode and 514 NV reads; --write adds a second switch, 2 s, the writes, "
                      "the handset's restart (35 s). Success of --write means the handset took every item.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunNvEdit(*options)); });
}

}  // namespace zk::cli
