// The NV calls of the command line: a whole backup to a .bak file and back,
// and single items read or written by number. Each enters diagnostic mode
// itself, unlocks the handset and releases the port however it ends.
// Results: 1, or a failure code (109000 + r mode entry, 110000 + r the
// read, 117000 + r the write; the failure note says more).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace zk::nv {

// Every catalogued item into `file` (through a temporary file beside it);
// only a complete read (every item answered) is saved.
int ToolBackup(int16_t portIndex, const char* spcCode, const std::filesystem::path& file);
// `file` checked, then written into the handset, which is then reset.
int ToolRestore(int16_t portIndex, const char* spcCode, const std::filesystem::path& file);
// The value bytes of `item` (NAM `nam`, or -1); `status` gets the handset's
// status (or -1 without an answer).
int ToolReadItem(int16_t portIndex, const char* spcCode, uint16_t item, int nam, std::vector<uint8_t>& value,
                 int* status);
// Writes `value` (at most the item's size; the rest zero) and answers 1 only
// when the handset took it with status 0.
int ToolWriteItem(int16_t portIndex, const char* spcCode, uint16_t item, int nam, std::span<const uint8_t> value,
                  int* status);

}  // namespace zk::nv
