#include "command_line.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <stdexcept>

#include "platform/port_map.h"

namespace rb310 {
namespace {

std::optional<uint32_t> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool ActionTakesValue(FaultRule::Action action) {
  return action == FaultRule::Action::kForeignCode || action == FaultRule::Action::kStall ||
         action == FaultRule::Action::kGarbage;
}

}  // namespace

bool ParseFaultRule(FaultRule::Action action, std::string_view text, FaultRule& rule, std::string& error) {
  rule = FaultRule{};
  rule.action = action;
  const std::string original(text);
  const std::size_t at = text.find('@');
  if (ActionTakesValue(action) != (at != std::string_view::npos)) {
    error = ActionTakesValue(action) ? "'" + original + "' needs @VALUE" : "'" + original + "' takes no @VALUE";
    return false;
  }
  if (at != std::string_view::npos) {
    const auto value = ParseNumber(text.substr(at + 1));
    if (!value) {
      error = "bad value in '" + original + "'";
      return false;
    }
    if (action == FaultRule::Action::kForeignCode && *value > 0xFF) {
      error = "foreign code in '" + original + "' is not a byte";
      return false;
    }
    rule.value = *value;
    text = text.substr(0, at);
  }
  if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
    const auto times = ParseNumber(text.substr(slash + 1));
    if (!times || *times == 0) {
      error = "bad count in '" + original + "'";
      return false;
    }
    rule.times = *times;
    text = text.substr(0, slash);
  }
  if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) {
    // The N-th request the selector matches (and, with /TIMES, those after it).
    const auto nth = ParseNumber(text.substr(hash + 1));
    if (!nth || *nth == 0) {
      error = "bad #N in '" + original + "'";
      return false;
    }
    rule.skip = *nth - 1;
    if (rule.times == 0) rule.times = 1;
    text = text.substr(0, hash);
  }
  if (text == "all") {
    rule.match = FaultRule::Match::kAll;
    return true;
  }
  std::optional<uint32_t> selector;
  if (text.starts_with("nth=")) {
    rule.match = FaultRule::Match::kNth;
    selector = ParseNumber(text.substr(4));
    if (selector && *selector == 0) selector.reset();
  } else if (text.starts_with("code=")) {
    rule.match = FaultRule::Match::kCode;
    selector = ParseNumber(text.substr(5));
    if (selector && *selector > 0xFF) selector.reset();
  }
  if (!selector) {
    error = "bad selector in '" + original + "' (all, nth=N or code=C)";
    return false;
  }
  rule.selector = *selector;
  return true;
}

bool ParseNvStatusFault(std::string_view text, NvStatusFault& fault, std::string& error) {
  fault = NvStatusFault{};
  const std::string original(text);
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = "'" + original + "' is not ITEM[/INDEX]=STATUS";
    return false;
  }
  const auto status = ParseNumber(text.substr(equals + 1));
  text = text.substr(0, equals);
  std::optional<uint32_t> index;
  if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
    index = ParseNumber(text.substr(slash + 1));
    if (!index || *index > 255) {
      error = "bad index in '" + original + "'";
      return false;
    }
    text = text.substr(0, slash);
  }
  const auto item = ParseNumber(text);
  if (!item || *item > 0xFFFF || !status || *status > 0xFFFF) {
    error = "bad item or status in '" + original + "'";
    return false;
  }
  fault.item = static_cast<uint16_t>(*item);
  fault.index = index ? static_cast<int>(*index) : -1;
  fault.status = static_cast<uint16_t>(*status);
  return true;
}

std::optional<int> ParseCommandLine(int argc, const char* const* argv, SimOptions& options) {
  CLI::App app{"rb310-sim: a simulated RB310 CDMA handset on a pseudo-terminal"};
  std::string port = "COM5";
  std::string state;
  std::string restartMode;
  std::string friendly;
  uint32_t vendorByte = options.identity.vendorByte;
  bool usb = false;
  bool noUsb = false;
  bool noCalibration = false;
  std::vector<std::string> drops, corrupts, foreigns, stalls, garbages, naks, disconnects;
  std::vector<std::string> nvStatus, nvReadStatus, nvWriteStatus;
  std::vector<std::string> efsFail, efsDropReads, efsZero;

  app.add_option("--port", port, "port to appear as (COM1..COM256)")->required();
  app.add_option("--state", state, "state directory (default $ZKDOWNLOAD_HOME/rb310-sim/COM<n>)");
  app.add_flag("--dm", options.personality.startInDm, "start in diagnostic mode");
  app.add_flag("--downloader", options.personality.startInDownloader,
               "start in the downloader, like a handset whose firmware no longer starts");
  app.add_option("--dm-baud", options.personality.dmBaud, "diagnostic rate at start and after a restart")
      ->check(CLI::IsMember({38400u, 115200u}));
  app.add_option("--restart-mode", restartMode, "personality after a reset (default: as at start)")
      ->check(CLI::IsMember({"at", "dm"}));
  app.add_option("--restart-delay", options.personality.restartDelayMs, "silence after a reset, ms (scaled)")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--friendly", friendly, "friendly name of the port, e.g. \"RB310 CDMA USB Modem (COM5)\"");
  app.add_flag("--usb", usb, "the port is the handset's USB modem port (line rates do not matter)");
  app.add_flag("--no-usb", noUsb, "the port is a physical line, even with a friendly name");
  app.add_option("--transcript", options.transcriptPath, "JSON-lines transcript of every request");
  app.add_option("--pace-baud", options.line.paceBaud,
                 "pace both directions of the line to this rate (10 bits a byte)");

  app.add_option("--esn", options.identity.esn, "electronic serial number");
  app.add_option("--sw-version", options.identity.softwareVersion, "8-character software version");
  app.add_option("--spc", options.security.spc, "service programming code (6 digits)");
  app.add_flag("--require-spc", options.security.requireSpcForWrites, "NV and PRL writes need the SPC first");
  app.add_flag("--nv-lock-reads", options.security.requireSpcForReads,
               "NV reads (and every write) answer 0x42 until the SPC is accepted");
  app.add_flag("--nv-lost-on-download", options.nv.loseOnImageStored,
               "storing a main image burn erases every NV item");
  app.add_flag("--nv-lost-on-efs-erase", options.nv.loseOnEfsErase,
               "the downloader's file-system erase erases every NV item too");
  app.add_option("--vendor-byte", vendorByte, "vendor query 0, selector 0 answer")->check(CLI::Range(0, 255));
  app.add_option("--vendor-text", options.identity.vendorText, "vendor query 0, selector 6 answer (15 characters)");
  app.add_option("--vendor-20", options.identity.vendorValue20, "vendor query 20 answer");
  app.add_option("--vendor-21", options.identity.vendorValue21, "vendor query 21 answer");
  app.add_flag("--nv-no-calibration", noCalibration,
               "the handset was never calibrated: the calibration NV items (ESN aside) answer status 5");
  app.add_option("--prl-read-block", options.prl.readBlockBytes, "PRL bytes per read answer")
      ->check(CLI::Range(1, 1024));
  app.add_option("--prl-capacity", options.prl.maxBytes, "bytes a stored PRL may hold (a longer write is refused)")
      ->check(CLI::Range(1, 1 << 20));

  app.add_option("--call-history", options.efs.callHistory,
                 "call-history counters written as pim/call_hist_nv.dat at start (up to 11 numbers)")
      ->delimiter(',')
      ->expected(1, 11);
  app.add_option("--efs-seed", options.efs.seedFrom,
                 "copy this directory's tree into the file system (<state>/efs) at start")
      ->check(CLI::ExistingDirectory);
  app.add_option("--efs-open-files", options.efs.maxOpenFiles, "files the file system keeps open at once")
      ->check(CLI::Range(1, 1024));
  app.add_option("--efs-open-dirs", options.efs.maxOpenDirectories,
                 "directories the file system keeps open at once")
      ->check(CLI::Range(1, 1024));

  app.add_option("--drop", drops, "SEL[/TIMES]: never send the answer");
  app.add_option("--corrupt", corrupts, "SEL[/TIMES]: send the answer with wrong check bytes");
  app.add_option("--foreign", foreigns, "SEL[/TIMES]@CODE: answer CODE followed by the request");
  app.add_option("--stall", stalls, "SEL[/TIMES]@MS: send the answer MS (scaled) late");
  app.add_option("--garbage", garbages, "SEL[/TIMES]@N: send N noise bytes before the answer");
  app.add_option("--nak", naks, "SEL[/TIMES]: refuse the request with the downloader's NAK (0x03)");
  app.add_option("--disconnect", disconnects, "SEL[/TIMES]: the handset vanishes (its line closes) at the request");
  app.add_option("--nv-status", nvStatus, "NV reads and writes of ITEM[/INDEX] report STATUS (ITEM[/INDEX]=STATUS)");
  app.add_option("--nv-read-status", nvReadStatus, "NV reads of ITEM[/INDEX] report STATUS");
  app.add_option("--nv-write-status", nvWriteStatus, "NV writes of ITEM[/INDEX] report STATUS");
  app.add_option("--efs-fail", efsFail, "PATH: every file system request naming PATH answers error 13");
  app.add_option("--efs-drop-reads", efsDropReads,
                 "PATH@N: reads of PATH past its first N blocks of 512 bytes are not answered");
  app.add_option("--efs-zero", efsZero, "PATH: reads and writes of PATH move 0 bytes and report no error");
  app.add_option("--efs-extra-count", options.faults.efs.extraListingCount,
                 "0x59 listings count N names more than they send");
  app.add_option("--efs-hostile-file", options.faults.efs.hostileFiles,
                 "NAME: every directory listing also names the plain file NAME, exactly as given");
  app.add_option("--efs-hostile-dir", options.faults.efs.hostileDirectories,
                 "NAME: every directory listing also names the directory NAME, exactly as given");
  app.add_flag("--ignore-qcdmg", options.faults.ignoreStandardSwitch, "AT$QCDMR and AT$QCDMG answer ERROR");
  app.add_flag("--ignore-baud-change", options.faults.ignoreBaudChange, "the baud change is an unknown command");
  app.add_flag("--never-usable", options.faults.neverUsable, "the status answer never shows a usable state");
  app.add_flag("--reject-fast-rate", options.faults.rejectFastRate,
               "the downloader refuses 460800 bit/s: its rate packet gets a NAK");

  app.footer(
      "SEL picks the requests a fault hits: all, nth=N (the N-th request since start) or code=C (every\n"
      "request with command code C); /TIMES limits it to the first TIMES of them; SEL#N hits only the\n"
      "N-th request SEL matches (code=1#3: the third write block). Numbers may be 0x-hex.\n"
      "The handset's file system is the directory <state>/efs: a test may fill it before the start\n"
      "(or name a tree with --efs-seed); handset paths such as /eri/eri.bin map below it, and\n"
      "nothing outside it is ever reached (\"..\" and links out of it are refused with error 13).\n"
      "After a main image is burned the handset restarts into it: an image beginning with the ASCII\n"
      "text RB310VER= and 8 characters reports those 8 characters as its software version from the\n"
      "restart on (other images leave the version alone). NV items survive the download unless\n"
      "--nv-lost-on-download; the EFS erase packet empties the file system (and, with\n"
      "--nv-lost-on-efs-erase, forgets every NV item).\n"
      "The handset runs until SIGTERM or SIGINT; ZKDOWNLOAD_TIME_SCALE scales its delays.");

  try {
    app.parse(argc, argv);
    const auto number = zk::platform::PortNumberFromName(port);
    const auto bare = number ? number : zk::platform::PortNumberFromName("COM" + port);
    if (!bare) throw CLI::ValidationError("--port", "'" + port + "' names no port COM1..COM256");
    options.line.port = *bare;
    if (!state.empty()) options.stateDir = state;
    if (!friendly.empty()) options.line.friendly = friendly;
    options.identity.vendorByte = static_cast<uint8_t>(vendorByte);
    if (!restartMode.empty()) options.personality.restartInDm = restartMode == "dm";
    if (usb && noUsb) throw CLI::ValidationError("--usb", "--usb and --no-usb exclude each other");
    if (usb) options.line.usbModem = true;
    if (noUsb) options.line.usbModem = false;
    options.nv.calibrated = !noCalibration;
    if (options.identity.softwareVersion.size() > 8) {
      throw CLI::ValidationError("--sw-version", "at most 8 characters");
    }

    const auto addRules = [&options](FaultRule::Action action, const std::vector<std::string>& texts,
                                     const char* name) {
      for (const std::string& text : texts) {
        FaultRule rule;
        std::string error;
        if (!ParseFaultRule(action, text, rule, error)) throw CLI::ValidationError(name, error);
        options.faults.rules.push_back(rule);
      }
    };
    addRules(FaultRule::Action::kDrop, drops, "--drop");
    addRules(FaultRule::Action::kCorrupt, corrupts, "--corrupt");
    addRules(FaultRule::Action::kForeignCode, foreigns, "--foreign");
    addRules(FaultRule::Action::kStall, stalls, "--stall");
    addRules(FaultRule::Action::kGarbage, garbages, "--garbage");
    addRules(FaultRule::Action::kNak, naks, "--nak");
    addRules(FaultRule::Action::kDisconnect, disconnects, "--disconnect");

    const auto addNv = [&options](const std::vector<std::string>& texts, bool onRead, bool onWrite,
                                  const char* name) {
      for (const std::string& text : texts) {
        NvStatusFault fault;
        std::string error;
        if (!ParseNvStatusFault(text, fault, error)) throw CLI::ValidationError(name, error);
        fault.onRead = onRead;
        fault.onWrite = onWrite;
        options.faults.nvStatus.push_back(fault);
      }
    };
    addNv(nvStatus, true, true, "--nv-status");
    addNv(nvReadStatus, true, false, "--nv-read-status");
    addNv(nvWriteStatus, false, true, "--nv-write-status");

    options.faults.efs.failPaths.insert(efsFail.begin(), efsFail.end());
    options.faults.efs.zeroTransfers.insert(efsZero.begin(), efsZero.end());
    for (const std::string& text : efsDropReads) {
      const std::size_t at = text.rfind('@');
      const auto blocks = at == std::string::npos ? std::nullopt : ParseNumber(std::string_view(text).substr(at + 1));
      if (!blocks) throw CLI::ValidationError("--efs-drop-reads", "'" + text + "' is not PATH@N");
      options.faults.efs.dropReadsAfter[text.substr(0, at)] = *blocks;
    }
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return std::nullopt;
}

}  // namespace rb310
