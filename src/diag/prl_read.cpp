// CPacketProcess: the preferred roaming list read back block by block. Kept
// apart from the write step, which reports progress, so that the read needs
// nothing beyond the answer parsers and the Transactor seam.
#include "diag/packet_process.h"

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"

using namespace zk::diag;

std::size_t PrlReadDataBytes(uint16_t bitCount, int decodedLength) {
  return PrlDataBytes(bitCount, AnswerLength(decodedLength));
}

PrlReadOutcome CPacketProcess::ReadPrl(uint8_t nam, std::FILE* file) {
  if (file == nullptr) return PrlReadOutcome::kFailed;
  for (uint8_t sequence = 0;; ++sequence) {
    const Reply reply = Send(BuildPrlRead(RequestBuffer(), sequence, nam), request::kPrlRead.waitMs);
    if (!reply.Accepted()) return PrlReadOutcome::kFailed;
    // The bit count is the handset's word; the data is what it really sent.
    const auto block = ParsePrlRead(reply.answer);
    if (!block) return PrlReadOutcome::kFailed;
    // A refused block carries no list: an empty file would pass for one.
    if (block->status == kPrlReadNotStored && sequence == 0) return PrlReadOutcome::kNotStored;
    if (block->status != kPrlReadOk) return PrlReadOutcome::kFailed;
    const auto& data = block->data;
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file) != data.size()) return PrlReadOutcome::kFailed;
    if (!block->more) return PrlReadOutcome::kRead;
  }
}
