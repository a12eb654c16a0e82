#include "services/prl_write_session.h"

#include <algorithm>

#include "services/diag_codes.h"

namespace rb310 {

uint8_t PrlWriteSession::WriteBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data) {
  // The host repeats a block whose answer it lost: answer it again without
  // storing it twice.
  if (lastBlock_ && lastBlock_->nam == nam && lastBlock_->sequence == sequence && lastBlock_->more == more &&
      std::equal(data.begin(), data.end(), lastBlock_->data.begin(), lastBlock_->data.end())) {
    return lastBlock_->status;
  }
  const uint8_t status = AcceptBlock(nam, sequence, more, data);
  lastBlock_ = Block{nam, sequence, more, std::vector<uint8_t>(data.begin(), data.end()), status};
  return status;
}

uint8_t PrlWriteSession::AcceptBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data) {
  const bool continues = transfer_ && transfer_->nam == nam && transfer_->nextSequence == sequence;
  if (sequence == 0 && !continues) {
    // Sequence 0 starts a new list, unless it is the wrap after block 255 of
    // a long one.
    transfer_ = Transfer{nam, 0, {}};
  } else if (!continues) {
    // A block out of order: the list being written is abandoned and the
    // stored one stays as it was.
    transfer_.reset();
    return diag::kPrlSequenceError;
  }
  if (transfer_->bytes.size() + data.size() > maxBytes_) {
    transfer_.reset();
    return diag::kPrlOverflow;
  }
  transfer_->bytes.insert(transfer_->bytes.end(), data.begin(), data.end());
  transfer_->nextSequence = static_cast<uint8_t>(sequence + 1);
  if (more) return diag::kPrlOk;
  const bool saved = store_.Save(nam, transfer_->bytes);
  transfer_.reset();
  return saved ? diag::kPrlOk : diag::kPrlNotStored;
}

}  // namespace rb310
