// The file system's short answers (close, mkdir, closedir, write, and the
// older family's status): each is accepted only with its echoed header and
// every field inside the answer, and never read past its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "efs/efs_answers.h"
#include "efs/efs_requests.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // A block of exactly the answer's size, so a read past it is caught.
  const std::vector<uint8_t> answer(data, data + size);
  using namespace zk::efs;
  for (const uint16_t subCommand : {sub::kClose, sub::kMkdir, sub::kClosedir}) {
    const bool parsed = ParsePlainError(answer, subCommand).has_value();
    Check(parsed == (EchoesHeader(answer, subCommand) && size >= 8));
  }
  const auto write = ParseWrite(answer);
  Check(write.has_value() == (EchoesHeader(answer, sub::kWrite) && size >= 20));
  if (ParseFileOperationStatus(answer).has_value()) Check(size >= 3);
  return 0;
}
