#include "bin_download_command.h"

#include <cstdio>
#include <memory>
#include <string>

#include "command_result.h"
#include "global_options.h"
#include "input_checks.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct BinDownloadOptions {
  std::string port;
  std::string image;
  std::string spc;
  int kind = kOperationKind;
  std::string report;
};

bool FullSequence(int kind) { return kind == 2 || kind == 3; }

int RunBinDownload(const BinDownloadOptions& options) {
  const std::string image = AbsolutePath(options.image);
  if (const std::string why = WhyNotReadable(image, "image"); !why.empty()) return RefuseInput(why, "");
  const std::string prefix = GetBINVersion_Interface();
  if (FullSequence(options.kind))
    if (const std::string why = WhyNotModelImage(image, prefix); !why.empty())
      return RefuseInput(why, "--kind 0 burns it without the model check");
  const std::string report = AbsolutePath(options.report);
  if (const int refused = RefuseUnwritableReport(report); refused != 0) return refused;
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;

  OperationRecord record("bin-download", *port);
  record.SetReportPath(report);
  const int result = BINDownloadUSB_Interface(static_cast<short>(options.kind), "", options.spc.c_str(),
                                              image.c_str(), 0, static_cast<short>(port->index), kLinkParam1,
                                              kLinkParam2, kLinkParam3);
  record.TakeOperationRun(options.kind);
  const int status = record.Finish(result);
  if (status == 0) {
    char after[16] = {};
    GetHandsetSeen_Interface(nullptr, after, sizeof(after));
    std::printf("image %s burned into the handset on %s%s: software version %s -> %s\n", image.c_str(),
                port->name.c_str(), record.EsnSuffix().c_str(), record.SoftwareVersionBefore().c_str(), after);
  }
  return status;
}

}  // namespace

void AddBinDownloadCommand(CLI::App& app) {
  auto options = std::make_shared<BinDownloadOptions>();
  auto* command = app.add_subcommand(
      "bin-download", "Burn the firmware IMAGE into the handset, keeping its NV items");
  AddPortOption(*command, options->port);
  command->add_option("--kind", options->kind,
                      "operation kind: 2 or 3 (default 2) check that the image is named RB31VV..., keep the "
                      "authentication items too and prove the restart; 0 or 1 run the short sequence")
      ->check(CLI::Range(-32768, 32767));
  AddSpcOption(*command, options->spc);
  command->add_option("IMAGE", options->image, "the firmware image file")->required();
  AddReportOption(*command, options->report);
  command->footer(std::string("Waits: the NV read, about 5 s before the burn, one acknowledgement per 2 KiB block, "
                              "30 s for the restart after the burn, 15 s more before diagnostic mode, the NV write; "
                              "kinds 2 and 3 wait another 30 s to prove the handset came back.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunBinDownload(*options)); });
}

}  // namespace zk::cli
