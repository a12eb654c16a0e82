#include "probe_command.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "command_result.h"
#include "port_option.h"
#include "zkdownload/zkcomm.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

struct ProbeOptions {
  std::string port;
  int baud = 115200;
  int timeoutMs = 1500;
};

constexpr uint8_t kVersionCode = 0x00;
constexpr uint8_t kEsnCode = 0x01;
constexpr uint8_t kStatusCode = 0x0C;

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

const char* ResultText(int result) {
  switch (result) {
    case kExchangeAnswered: return "answered";
    case kExchangeOtherCode: return "answered with another command code";
    case kExchangeBadFrame: return "bad frame";
    case kExchangeNoFrame: return "no answer";
    case kExchangePortClosed: return "port not open";
    default: return "unexpected result";
  }
}

// One single-byte request; prints the failure and returns false when the
// handset did not answer it.
bool Ask(CZKComm& comm, uint8_t code, const char* what, diag_rsp_pkt_type& response, int timeoutMs) {
  auto request = std::make_unique<diag_req_pkt_type>();
  request->req.cmd_code = code;
  const int result = comm.GetPacket(request.get(), &response, 1, timeoutMs, kDiagnosticMode);
  if (result != kExchangeAnswered) {
    std::printf("%-9s %s (result %d)\n", what, ResultText(result), result);
    return false;
  }
  return true;
}

// The error login file goes beside the library.
std::string LibraryDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&GetModelName_Interface), &info) == 0 || info.dli_fname == nullptr) return ".";
  return std::filesystem::absolute(info.dli_fname).parent_path().string();
}

int RunProbe(const ProbeOptions& options) {
  std::string why;
  const auto port = ResolvePortOption(options.port, why);
  if (!port) {
    std::fprintf(stderr, "zkdownload: %s\n", why.c_str());
    return 2;
  }
  auto comm = std::make_unique<CZKComm>();
  if (!comm->CommOpen(static_cast<COMM_PORT>(port->index), options.baud)) {
    std::fprintf(stderr, "zkdownload: cannot open %s (%s)\n", port->name.c_str(),
                 port->device.empty() ? "no port map entry" : port->device.c_str());
    return 1;
  }
  std::printf("%s opened at %d bit/s (%s)\n", port->name.c_str(), options.baud, port->device.c_str());

  auto response = std::make_unique<diag_rsp_pkt_type>();
  int answered = 0;
  if (Ask(*comm, kEsnCode, "ESN", *response, options.timeoutMs)) {
    std::printf("%-9s %08X\n", "ESN", Le32(response->rsp.bytes + 1));
    ++answered;
  }
  if (Ask(*comm, kVersionCode, "version", *response, options.timeoutMs)) {
    char version[9] = {};
    std::memcpy(version, response->rsp.bytes + 39, 8);
    std::printf("%-9s %s\n", "version", version);
    ++answered;
  }
  if (Ask(*comm, kStatusCode, "status", *response, options.timeoutMs)) {
    std::printf("%-9s mode word %u, phone state %u\n", "status", Le16(response->rsp.bytes + 8),
                Le16(response->rsp.bytes + 32));
    ++answered;
  }

  const std::string note = "zkdownload probe: " + std::to_string(answered) + " of 3 requests answered";
  if (comm->MakeErrorLoginFile(note.c_str(), port->index)) {
    std::printf("error login file: %s/error_login_COM%d.txt (%zu frames traced)\n", LibraryDirectory().c_str(),
                port->index + 1, comm->packetQueue().size());
  }
  comm->CommClose();
  return answered == 3 ? 0 : 1;
}

}  // namespace

void AddProbeCommand(CLI::App& app) {
  auto options = std::make_shared<ProbeOptions>();
  auto* command = app.add_subcommand("probe", "Read ESN, software version and status of a handset in diagnostic mode");
  command->add_option("--port", options->port, "COM5, \\\\.\\COM12 or a device path such as /dev/ttyUSB0")
      ->required();
  command->add_option("--baud", options->baud, "line rate in bit/s")->capture_default_str();
  command->add_option("--timeout", options->timeoutMs, "answer time-out per request in ms")->capture_default_str();
  command->callback([options] { SetCommandResult(RunProbe(*options)); });
}

}  // namespace zk::cli
