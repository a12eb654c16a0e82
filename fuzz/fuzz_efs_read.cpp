// Read answers: the data never exceeds 512 bytes, the claimed count nor
// what the answer carried, and lies inside the answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "efs/efs_answers.h"
#include "efs/efs_requests.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> answer(data, data + size);
  const auto read = zk::efs::ParseRead(answer);
  if (read) {
    const auto& bytes = read->data;
    if (bytes.size() > zk::efs::kReadChunk || bytes.size() > read->claimed) std::abort();
    if (!bytes.empty() && (bytes.data() != answer.data() + zk::efs::answer::kReadData ||
                           zk::efs::answer::kReadData + bytes.size() > size))
      std::abort();
  }
  const auto block = zk::efs::ParseBlock(answer);
  if (block && zk::efs::answer::kBlockData + block->data.size() > std::max(size, zk::efs::answer::kBlockData))
    std::abort();
  return 0;
}
