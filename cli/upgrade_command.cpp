#include "upgrade_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "command_result.h"
#include "global_options.h"
#include "input_checks.h"
#include "operation_options.h"
#include "operation_record.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "script_check_command.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct UpgradeOptions {
  std::string port;
  std::string image;
  std::string spc;
  int kind = kOperationKind;
  std::string script;
  std::string prl;
  int nam = 0;
  std::string eri;
  std::string efsBackup;
  std::string report;
};

bool StagedSequence(int kind) { return kind == 0 || kind == 1; }

// A fresh directory under the home for the file-system backup of one run.
std::string DefaultEfsBackup() {
  return (platform::Home() / "efs-backup" / platform::LocalTimeText("upgrade-%Y%m%d-%H%M%S")).string();
}

// Everything the upgrade will read or write, checked before the handset is
// touched: a missing file found halfway would leave it offline or without
// its file system.
int RefuseBadInputs(UpgradeOptions& options) {
  if (const std::string why = WhyNotReadable(options.image, "image"); !why.empty()) return RefuseInput(why, "");
  const std::string prefix = GetBINVersion_Interface();
  if (!StagedSequence(options.kind))
    if (const std::string why = WhyNotModelImage(options.image, prefix); !why.empty())
      return RefuseInput(why, "--kind 0 burns it in the staged sequence, without the model check");
  if (!options.script.empty()) {
    if (const int refused = RefuseFailingScript(options.script, options.kind); refused != 0) return refused;
    if (StagedSequence(options.kind)) {
      const auto brew = std::filesystem::path(options.script).parent_path() / "brew_script";
      if (!std::filesystem::is_directory(brew))
        return RefuseInput("no brew_script directory beside the script (" + brew.string() + ")",
                           "the staged sequence writes it into the handset before the script");
    }
  }
  if (!options.prl.empty()) {
    std::string why = WhyNotReadable(options.prl, "PRL file");
    if (why.empty()) why = WhyNotPrl(options.prl);
    if (!why.empty()) return RefuseInput(why, "");
    if (const std::string warning = PrlCheckWarning(options.prl); !warning.empty())
      std::fprintf(stderr, "zkdownload: warning: %s\n", warning.c_str());
  }
  if (!options.eri.empty())
    if (const std::string why = WhyNotReadable(options.eri, "ERI file"); !why.empty()) return RefuseInput(why, "");
  if (!StagedSequence(options.kind)) {
    if (options.efsBackup.empty()) options.efsBackup = DefaultEfsBackup();
    if (const std::string why = WhyNotWritableDirectory(options.efsBackup); !why.empty()) return RefuseInput(why, "");
  }
  if (const int refused = RefuseUnwritableReport(options.report); refused != 0) return refused;
  return 0;
}

int RunUpgrade(UpgradeOptions options) {
  for (std::string* path : {&options.image, &options.script, &options.prl, &options.eri, &options.efsBackup,
                            &options.report})
    *path = AbsolutePath(*path);
  if (const int refused = RefuseBadInputs(options); refused != 0) return refused;
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;

  OperationRecord record("upgrade", *port);
  record.SetReportPath(options.report);
  const int result = UpgradeUSB_Interface(static_cast<short>(options.kind), 0, options.spc.c_str(),
                                          options.image.c_str(), options.script.c_str(), options.prl.c_str(),
                                          options.nam, options.efsBackup.c_str(), 0, static_cast<short>(port->index),
                                          options.eri.c_str(), kLinkParam1, kLinkParam2, kLinkParam3);
  record.TakeOperationRun(options.kind);
  const int status = record.Finish(result);
  if (status == 0) {
    char after[16] = {};
    GetHandsetSeen_Interface(nullptr, after, sizeof(after));
    std::printf("upgrade of %s%s done: software version %s -> %s, NV items restored%s%s%s%s\n", port->name.c_str(),
                record.EsnSuffix().c_str(), record.SoftwareVersionBefore().c_str(), after,
                StagedSequence(options.kind) ? "" : ", authentication items and file system restored",
                options.prl.empty() ? "" : ", PRL written", options.eri.empty() ? "" : ", ERI written",
                options.script.empty() ? "" : ", script run");
  }
  return status;
}

}  // namespace

void AddUpgradeCommand(CLI::App& app) {
  auto options = std::make_shared<UpgradeOptions>();
  auto* command = app.add_subcommand(
      "upgrade", "Burn the firmware IMAGE and bring the handset back provisioned, keeping its NV items");
  AddPortOption(*command, options->port);
  command->add_option("--kind", options->kind,
                      "operation kind: 2 (default) and other values run the full sequence (image named RB31VV..., "
                      "authentication items and file system kept, restart proven); 0 or 1 the staged one")
      ->check(CLI::Range(-32768, 32767));
  AddSpcOption(*command, options->spc);
  command->add_option("IMAGE", options->image, "the firmware image file")->required();
  command->add_option("--script", options->script, "run this script after the download (checked first)");
  command->add_option("--prl", options->prl, "write this PRL file after the download");
  command->add_option("--nam", options->nam, "NAM selector of the PRL: 0 first, 1 second, 2 both")
      ->check(CLI::Range(0, 2))
      ->default_val(0);
  command->add_option("--eri", options->eri, "write this ERI file after the download");
  command->add_option("--efs-backup", options->efsBackup,
                      "full sequence: where the handset's file system is kept during the download (default "
                      "$ZKDOWNLOAD_HOME/efs-backup/upgrade-<date>-<time>)");
  AddReportOption(*command, options->report);
  command->footer(std::string("Inputs are checked before the handset is touched. The NV items are saved as a .bak "
                              "file when the upgrade fails after the download began. Waits (full sequence): 3 s "
                              "after the download, 25 s and 8 s around the script's restart, 20 s before the "
                              "restart is proven; staged sequence: 10 s at the end.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunUpgrade(*options)); });
}

}  // namespace zk::cli
