#include "bin_download_command.h"

#include <cctype>
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
};

bool FullSequence(int kind) { return kind == 2 || kind == 3; }

// The file name (after the last '/' or '\') begins with `prefix`, any case.
bool NameHasPrefix(const std::string& path, const std::string& prefix) {
  const auto slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string Printable(const std::string& stages) {
  std::string out;
  for (const char c : stages) out += c == ';' ? std::string(" > ") : std::string(1, c);
  return out;
}

int RunBinDownload(const BinDownloadOptions& options) {
  const std::string image = AbsolutePath(options.image);
  if (const std::string why = WhyNotReadable(image, "image"); !why.empty()) return RefuseInput(why, "");
  const std::string prefix = GetBINVersion_Interface();
  if (FullSequence(options.kind) && !NameHasPrefix(image, prefix))
    return RefuseInput("image " + image + ": kinds 2 and 3 take only images named " + prefix + "...",
                       "--kind 0 burns it without the model check");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;

  OperationRecord record("bin-download", *port);
  const int result = BINDownloadUSB_Interface(static_cast<short>(options.kind), "", options.spc.c_str(),
                                              image.c_str(), 0, static_cast<short>(port->index), kLinkParam1,
                                              kLinkParam2, kLinkParam3);
  char before[16] = {};
  char stages[512] = {};
  GetBinDownloadRun_Interface(before, sizeof(before), stages, sizeof(stages));
  record.SetStaged(options.kind, before, stages);
  std::fprintf(stderr, "stages: %s\n", stages[0] != '\0' ? Printable(stages).c_str() : "none");
  const int status = record.Finish(result);
  if (status == 0) {
    char after[16] = {};
    GetHandsetSeen_Interface(nullptr, after, sizeof(after));
    std::printf("image %s burned into the handset on %s%s: software version %s -> %s\n", image.c_str(),
                port->name.c_str(), record.EsnSuffix().c_str(), before, after);
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
  command->footer(std::string("Waits: the NV read, about 5 s before the burn, one acknowledgement per 2 KiB block, "
                              "30 s for the restart after the burn, 15 s more before diagnostic mode, the NV write; "
                              "kinds 2 and 3 wait another 30 s to prove the handset came back.\n") +
                  kGlobalOptionsFooter);
  command->callback([options] { SetCommandResult(RunBinDownload(*options)); });
}

}  // namespace zk::cli
