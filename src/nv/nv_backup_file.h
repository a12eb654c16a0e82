// The NV backup file (.bak): 13664 bytes, little-endian, no header: the NV
// image, then one 12-byte record per calibration, settings and NAM list
// entry in catalogue order (item number, 4 bytes the reader ignores, read
// flag 0, read flag 1, 2 zero bytes). Encoding and decoding are pure; the
// decoder accepts only a file of exactly that size whose records name the
// catalogue's items in the catalogue's order, so a foreign or damaged file
// never puts values into the wrong items of a handset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "nv/nv_image.h"
#include "nv/nv_read_flags.h"

namespace zk::nv {

inline constexpr std::size_t kBackupFileSize = 13664;

struct BackupContents {
  NvImage image{};
  NvReadFlags flags;
};

std::vector<uint8_t> EncodeBackupFile(const BackupContents& contents);

struct DecodedBackup {
  bool ok = false;
  BackupContents contents;
  std::string problem;  // why the file was refused, for the operator ("" when ok)
};
DecodedBackup DecodeBackupFile(std::span<const uint8_t> bytes);

}  // namespace zk::nv
