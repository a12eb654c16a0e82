// Everything that configures one simulated handset: identity, line, state
// directory and the faults to inject.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/fault_options.h"

namespace rb310 {

struct SimOptions {
  // Line and port map.
  int port = 5;                                // COM<port>
  std::optional<std::string> friendly;         // text of COM<n>.friendly
  std::optional<bool> usbModem;                // unset: usb when a friendly name is given
  uint32_t paceBaud = 0;                       // > 0: both directions no faster than this line rate

  // State directory (NV items, PRLs, burned images in flash/, the EFS in efs/);
  // empty = $ZKDOWNLOAD_HOME/rb310-sim/COM<n>.
  std::filesystem::path stateDir;
  std::string transcriptPath;  // JSON lines; empty = in memory only

  // Personality.
  bool startInDm = false;
  bool startInDownloader = false;   // a handset that offers only its downloader (takes precedence)
  uint32_t dmBaud = 115200;         // diagnostic rate at start and after a restart
  std::optional<bool> restartInDm;  // unset: like startInDm
  int64_t restartDelayMs = 5000;    // silence after a reset (scaled)

  // Identity and answers.
  uint32_t esn = 0x9F3A2C41;
  std::string softwareVersion = "R310V105";  // 8 characters at offset 39 of the version answer
  std::string spc = "271828";          // the maker's factory code
  uint8_t vendorByte = 7;                      // sub-command 0, selector 0
  std::string vendorText = "RB310-A1-000001";  // sub-command 0, selector 6 (15 characters)
  uint32_t vendorValue20 = 0x00010203;
  uint32_t vendorValue21 = 0x00000005;
  bool requireSpcForWrites = false;  // NV and PRL writes answer 0x42 until the SPC is accepted

  // Stores.
  std::set<uint16_t> namItems;       // items indexed by NAM (data byte 0); empty = built-in list
  std::size_t prlReadBlockBytes = 120;
  std::size_t prlMaxBytes = 16384;

  FaultOptions faults;

  bool UsbModem() const { return usbModem.value_or(friendly.has_value()); }
  bool RestartInDm() const { return restartInDm.value_or(startInDm); }
};

}  // namespace rb310
