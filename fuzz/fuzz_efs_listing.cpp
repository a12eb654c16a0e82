// Listings of the older file-system request as a handset could send them:
// no name is taken past the answer, the claimed byte length or the claimed
// count, and every name holds no zero byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "efs/efs_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> answer(data, data + size);  // exactly the answer's size
  const auto listing = zk::efs::ParseListing(answer);
  if (!listing) return 0;
  if (size < 3 || answer[0] != 0x59) std::abort();
  if (listing->status != 0 && !listing->names.empty()) std::abort();
  if (listing->names.empty()) return 0;
  const std::size_t count = answer[3] | answer[4] << 8;
  const std::size_t claimed = answer[5] | answer[6] << 8;
  std::size_t taken = 0;
  for (const auto& name : listing->names) {
    if (name.find('\0') != std::string::npos) std::abort();
    taken += name.size();
  }
  const std::size_t room = std::min({claimed, size - zk::efs::answer::kListNames, zk::efs::kMaxListingBytes});
  if (listing->names.size() > count || taken > room) std::abort();
  return 0;
}
