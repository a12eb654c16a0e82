// A PRL being written block by block: the blocks received so far, stored as
// the NAM's list when the last one arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "services/prl_store.h"

namespace rb310 {

class PrlWriteSession {
 public:
  PrlWriteSession(PrlStore& store, std::size_t maxBytes) : store_(store), maxBytes_(maxBytes) {}

  // One block of a write transfer. Sequence 0 starts a new list; a later
  // sequence must follow the previous one (wrapping at 256). The list is
  // stored when the block without the more flag arrives. A repeat of the
  // previous block is answered again and not stored twice. Returns the PRL
  // status of the answer (diag::kPrl...).
  uint8_t WriteBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data);

  // Whether a write transfer has started and not yet ended.
  bool InProgress() const { return transfer_.has_value(); }
  // Forgets a transfer in progress (the handset restarted).
  void Abandon() {
    transfer_.reset();
    lastBlock_.reset();
  }

 private:
  struct Transfer {
    int nam = 0;
    uint8_t nextSequence = 0;
    std::vector<uint8_t> bytes;
  };

  struct Block {
    int nam = 0;
    uint8_t sequence = 0;
    bool more = false;
    std::vector<uint8_t> data;
    uint8_t status = 0;
  };

  uint8_t AcceptBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data);

  PrlStore& store_;
  std::size_t maxBytes_;
  std::optional<Block> lastBlock_;
  std::optional<Transfer> transfer_;
};

}  // namespace rb310
