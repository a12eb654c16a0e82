// The handset's downloader: the packets it answers after the switch to the
// downloader (or from the start, for a handset whose firmware no longer
// starts). Every packet it accepts gets the acknowledgement 0x02, every one
// it refuses the negative acknowledgement 0x03.
//
//   0x20 boot initialise   begins a boot loader burn      0x22 boot erase   erases it
//   0x28 boot image init   begins and erases a boot image burn
//   0x21 initialise        begins a main image burn       0x04 erase        erases it
//   0x01 write block       places the block's meaningful bytes at its address
//   0x25 finalise          stores the open burn           0x26 EFS erase    empties <state>/efs
//   0x29 select rate       selector 1: listens at 460800 bit/s after the answer
//                          (a physical line only; on the USB modem port rates do
//                          not matter); selector 0: 115200. Refused with the
//                          reject-fast-rate fault.
//   0x0A reset             answers, then restarts (an unfinished burn is lost)
//
// Writes are refused before their region is erased, and erases before their
// burn was begun, so a host that skips or reorders a step sees it refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "command_table.h"

namespace rb310 {

void AddDownloaderCommands(CommandTable& table);

// The address and meaningful length of a write-block packet, for the
// transcript; nullopt for other packets and for write packets too short to
// carry them.
struct WriteFields {
  uint32_t address = 0;
  uint16_t length = 0;
};
std::optional<WriteFields> ParseWriteFields(std::span<const uint8_t> request);

// Removes everything inside `directory` (never following links out of it);
// creates it when missing. False when something could not be removed.
bool EmptyDirectory(const std::filesystem::path& directory);

}  // namespace rb310
