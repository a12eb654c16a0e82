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

bool CPacketProcess::ReadPrl(uint8_t nam, std::FILE* file) {
  if (file == nullptr) return false;
  for (uint8_t sequence = 0;; ++sequence) {
    const Reply reply = Send(BuildPrlRead(RequestBuffer(), sequence, nam), request::kPrlRead.waitMs);
    if (!reply.Accepted()) return false;
    // The bit count is the handset's word; the data is what it really sent.
    const auto block = ParsePrlRead(reply.answer);
    if (!block) return false;
    const auto& data = block->data;
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file) != data.size()) return false;
    if (!block->more) return true;
  }
}
