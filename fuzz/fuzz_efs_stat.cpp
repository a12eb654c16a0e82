// Stat (and open and directory-open) answers: accepted only with the echoed
// header and the fields inside the answer.
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
  const bool echoes = zk::efs::EchoesHeader(answer, zk::efs::sub::kStat);
  if (zk::efs::ParseStat(answer).has_value() != (echoes && size >= 8)) std::abort();
  if (zk::efs::ParseOpen(answer).has_value() && size < 12) std::abort();
  if (zk::efs::ParseOpendir(answer).has_value() && size < 12) std::abort();
  return 0;
}
