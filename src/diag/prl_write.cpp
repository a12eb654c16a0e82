// CPacketProcess: the preferred roaming list, written in 40-byte blocks.
#include <array>
#include <string>

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

namespace {

using namespace zk::diag;

constexpr std::size_t kBlockBytes = field::PrlWriteData::size;
constexpr uint16_t kFullBlockBits = kBlockBytes * 8;

}  // namespace

bool CPacketProcess::WritePrl(uint8_t nam, std::FILE* file, long size) {
  if (file == nullptr) return false;
  if (size <= 0) return true;  // an empty list: nothing to send
  // Filled once per block: a short last block leaves the rest of the data
  // field as the previous block left it, beyond the block's bit count.
  std::array<uint8_t, kBlockBytes> data{};
  uint8_t sequence = 0;
  long sent = 0;
  bool lastSent = false;

  for (;;) {
    g_commonProcess.StepProgress();
    g_commonProcess.UpdateElapsedTime();
    if (lastSent) return true;  // the handset has the whole list; bytes past `size` are not sent
    const std::size_t read = std::fread(data.data(), 1, data.size(), file);
    if (read == 0) return false;  // the file ended before `size` bytes

    const bool more = sent + static_cast<long>(kBlockBytes) < size;
    const auto bits = more ? kFullBlockBits : static_cast<uint16_t>(((size - sent) % 256) * 8);
    const PrlWriteBlock block{sequence, more, nam, bits, data};
    const Reply reply = Send(BuildPrlWrite(RequestBuffer(), block), request::kPrlWrite.waitMs);
    // An answer is not a stored block: a non-zero status refuses it.
    if (!reply.Accepted() || !PrlWriteTaken(reply.answer)) {
      if (!reply.answered)
        g_runState.failureNote = "the handset did not answer PRL write block " + std::to_string(sent / kBlockBytes + 1) +
                                 " (" + std::to_string(CDiagLink::kDiagnosticModeTries) + " tries)";
      return false;
    }

    sent += static_cast<long>(kBlockBytes);
    ++sequence;  // one byte, wraps after 256 blocks
    lastSent = !more;
  }
}
