#include "probe_command.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "command_result.h"
#include "library_files.h"
#include "platform/port_error.h"
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
    case kExchangeOtherCode: return "answered with another command code (the handset refused the request)";
    case kExchangeBadFrame: return "bad frame (check sequence wrong: a wrong line rate or a noisy line)";
    case kExchangeNoFrame: return "no answer (not in diagnostic mode, another line rate, or not attached)";
    case kExchangePortClosed: return "port not open";
    default: return "unexpected result";
  }
}

const char* PhoneStateText(unsigned phoneState) {
  switch (phoneState) {
    case 2: return "offline";
    case 6: return "online";
    default: return "in another state";
  }
}

// The state the operations look for after taking a handset offline: online
// with mode word 0, or offline with a non-zero mode word.
bool UsableForService(unsigned modeWord, unsigned phoneState) {
  return modeWord == 0 ? phoneState == 6 : phoneState == 2;
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

int RunProbe(const ProbeOptions& options) {
  std::string why;
  const auto port = ResolvePortOption(options.port, why);
  if (!port) {
    std::fprintf(stderr, "zkdownload: %s\n", why.c_str());
    return 2;
  }
  auto comm = std::make_unique<CZKComm>();
  if (!comm->CommOpen(static_cast<COMM_PORT>(port->index), options.baud)) {
    std::fprintf(stderr, "zkdownload: port: %s\n",
                 platform::PortOpenFailureText(port->index, comm->lastOpenDevice(), comm->lastOpenError()).c_str());
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
    const unsigned modeWord = Le16(response->rsp.bytes + 8), phoneState = Le16(response->rsp.bytes + 32);
    std::printf("%-9s %s (phone state %u, mode word %u): %s\n", "status", PhoneStateText(phoneState), phoneState,
                modeWord, UsableForService(modeWord, phoneState)
                              ? "ready for service"
                              : "not in a state the operations accept as it is (they take it offline first)");
    ++answered;
  }

  const std::string note = "zkdownload probe: " + std::to_string(answered) + " of 3 requests answered";
  if (comm->MakeErrorLoginFile(note.c_str(), port->index)) {
    std::printf("error login file: %s (%zu frames traced)\n", ErrorLoginFile(port->index).c_str(),
                comm->packetQueue().size());
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
