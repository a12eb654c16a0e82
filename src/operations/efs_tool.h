// The file-system tool: one handset's file system listed, a file copied
// either way, the whole tree backed up or restored. Each call switches the
// handset into diagnostic mode, does its work and releases the port again,
// on failure too. Results are 1 or a failure code of the tool's locations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk::operations {

struct EfsToolEntry {
  std::string path;    // full handset path, "/" separators
  uint32_t type = 0;   // 0 plain file, 1 directory (as the handset reports)
  uint32_t size = 0;   // bytes, plain files only
};

// The handset path limit of the file-system requests, in characters.
inline constexpr std::size_t kMaxHandsetPath = 127;

// Lists `directory` (every directory below it too when `recursive`): each
// directory's entries, a directory's own entry before what it holds.
int EfsToolList(int16_t portIndex, const std::string& directory, bool recursive, std::vector<EfsToolEntry>& entries);
int EfsToolGet(int16_t portIndex, const std::string& handsetPath, const std::string& pcPath);
int EfsToolPut(int16_t portIndex, const std::string& pcPath, const std::string& handsetPath);
int EfsToolBackup(int16_t portIndex, const std::string& baseDirectory);
int EfsToolRestore(int16_t portIndex, const std::string& path);

}  // namespace zk::operations
