// Readdir answers: the name stops at its zero byte or at the answer's end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "efs/efs_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> answer(data, data + size);
  const auto entry = zk::efs::ParseReaddir(answer);
  if (!entry) return 0;
  if (size < 16) std::abort();
  const std::size_t room = size > zk::efs::answer::kReaddirName ? size - zk::efs::answer::kReaddirName : 0;
  if (entry->name.size() > room || entry->name.find('\0') != std::string::npos) std::abort();
  return 0;
}
