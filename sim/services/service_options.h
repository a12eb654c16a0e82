// The settings of each service, one group per service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>
#include <set>
#include <string>

namespace rb310 {

struct IdentityOptions {
  uint32_t esn = 0x9F3A2C41;
  std::string softwareVersion = "R310V105";    // 8 characters at offset 39 of the version answer
  uint8_t vendorByte = 7;                      // vendor query sub-command 0, selector 0
  std::string vendorText = "RB310-A1-000001";  // sub-command 0, selector 6 (15 characters)
  uint32_t vendorValue20 = 0x00010203;
  uint32_t vendorValue21 = 0x00000005;
};

struct SecurityOptions {
  std::string spc = "271828";        // the maker's factory code
  bool requireSpcForWrites = false;  // NV and PRL writes answer 0x42 until the SPC is accepted
  bool requireSpcForReads = false;   // NV reads (and so every guarded request) answer 0x42 until then
};

struct NvOptions {
  bool guardReads = false;          // NV reads are guarded like writes (the security service decides)
  bool loseOnImageStored = false;   // a stored main image burn leaves the handset with no NV items
  bool loseOnEfsErase = false;      // erasing the file system takes the NV items with it
  std::set<uint16_t> namItems;  // items indexed by NAM (data byte 0); empty = built-in list
  bool calibrated = true;       // false: the calibration items answer "not active"
};

struct PrlOptions {
  std::size_t readBlockBytes = 120;
  std::size_t maxBytes = 16384;
};

struct EfsOptions {
  // A host tree copied into <state>/efs at start (over what is there; links
  // are not copied); empty = none.
  std::filesystem::path seedFrom;
  // The call-history counters written as pim/call_hist_nv.dat at start
  // (32-bit little-endian each); empty = the file is left as it is.
  std::vector<uint32_t> callHistory;
  std::size_t maxOpenFiles = 16;
  std::size_t maxOpenDirectories = 16;
};

}  // namespace rb310
