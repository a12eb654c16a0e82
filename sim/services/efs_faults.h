// Lookups of the file system faults by handset path, whatever spelling the
// fault and the request use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/fault_options.h"
#include "services/efs_tree.h"

namespace rb310 {

inline bool EfsPathFails(const EfsFaultOptions& faults, const std::string& relative) {
  for (const std::string& path : faults.failPaths) {
    if (EfsTree::Spelling(path) == relative) return true;
  }
  return false;
}

inline bool EfsTransfersNothing(const EfsFaultOptions& faults, const std::string& relative) {
  for (const std::string& path : faults.zeroTransfers) {
    if (EfsTree::Spelling(path) == relative) return true;
  }
  return false;
}

// Whether the read of block `block` (512 bytes each) of the file goes unanswered.
inline bool EfsReadDropped(const EfsFaultOptions& faults, const std::string& relative, uint64_t block) {
  for (const auto& [path, blocks] : faults.dropReadsAfter) {
    if (EfsTree::Spelling(path) == relative && block >= blocks) return true;
  }
  return false;
}

}  // namespace rb310
