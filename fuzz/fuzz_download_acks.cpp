// The download protocol's side of the link: how an answer to a download
// packet is judged (acknowledgement, echo, negative acknowledgement, anything
// else) in both modes, and the write block built from any image and address,
// read back field by field.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "diag/answer_verdict.h"
#include "flash/download_packets.h"

namespace {

using namespace zk::diag;
namespace flash = zk::flash;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckVerdict(uint8_t requestCode, std::span<const uint8_t> answer) {
  const Verdict download = JudgeAnswer(requestCode, answer, true);
  const Verdict diagnostic = JudgeAnswer(requestCode, answer, false);
  const bool carriesCode = !answer.empty() && answer[0] == requestCode;
  const bool acknowledged = !answer.empty() && answer[0] == code::kDownloadAck;
  Check((download == Verdict::kAccepted) == (carriesCode || acknowledged));
  Check((download == Verdict::kNegative) ==
        (!carriesCode && !answer.empty() && answer[0] == code::kDownloadNak));
  Check(download != Verdict::kTryAgain);
  Check((diagnostic == Verdict::kAccepted) == carriesCode);
  Check(diagnostic == Verdict::kAccepted || diagnostic == Verdict::kTryAgain);
}

void CheckWriteBlock(std::span<const uint8_t> image, uint32_t address) {
  std::vector<uint8_t> buffer(static_cast<std::size_t>(flash::packet::kWriteBlock.length));
  const auto block = flash::BuildWriteBlock(buffer, image, address);
  Check(block.packet.size() == buffer.size());
  const std::size_t start = std::min<std::size_t>(address, image.size());
  Check(block.dataBytes == std::min(image.size() - start, flash::kBlockSize));
  Check(Read<flash::field::Code>(block.packet) == flash::packet::kWriteBlock.code);
  Check(Read<flash::field::WriteAddress>(block.packet) == address);
  Check(Read<flash::field::WriteLength>(block.packet) == block.dataBytes);
  const auto data = *Read<flash::field::WriteData>(block.packet);
  Check(std::equal(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(block.dataBytes),
                   image.begin() + static_cast<std::ptrdiff_t>(start)));
  Check(std::all_of(data.begin() + static_cast<std::ptrdiff_t>(block.dataBytes), data.end(),
                    [](uint8_t byte) { return byte == flash::kBlockPadding; }));
  // A buffer one byte short gets nothing.
  Check(flash::BuildWriteBlock(std::span(buffer).first(buffer.size() - 1), image, address).packet.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte is the request's code, the rest the answer, in a block of
  // exactly its size.
  const std::vector<uint8_t> answer(data + 1, data + size);
  CheckVerdict(data[0], answer);
  if (size >= 5) {
    const uint32_t address = (uint32_t{data[1]} << 8 | data[2]) % 8192;  // near the image, past it at times
    CheckWriteBlock(std::span(answer).subspan(4), address);
  }
  return 0;
}
