#include "services/prl_store.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "services/diag_codes.h"
#include "state_file.h"

namespace rb310 {
namespace fs = std::filesystem;

PrlStore::PrlStore(fs::path directory, std::size_t maxBytes) : directory_(std::move(directory)), maxBytes_(maxBytes) {}

fs::path PrlStore::PathOf(int nam) const { return directory_ / ("nam" + std::to_string(nam) + ".bin"); }

std::optional<std::vector<uint8_t>> PrlStore::Load(int nam) const {
  std::ifstream in(PathOf(nam), std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PrlStore::Save(int nam, std::span<const uint8_t> bytes) { return WriteStateFile(PathOf(nam), bytes); }

uint8_t PrlStore::WriteBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data) {
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

uint8_t PrlStore::AcceptBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data) {
  const bool continues = session_ && session_->nam == nam && session_->nextSequence == sequence;
  if (sequence == 0 && !continues) {
    // Sequence 0 starts a new list, unless it is the wrap after block 255 of
    // a long one.
    session_ = Session{nam, 0, {}};
  } else if (!continues) {
    // A block out of order: the list being written is abandoned and the
    // stored one stays as it was.
    session_.reset();
    return diag::kPrlSequenceError;
  }
  if (session_->bytes.size() + data.size() > maxBytes_) {
    session_.reset();
    return diag::kPrlOverflow;
  }
  session_->bytes.insert(session_->bytes.end(), data.begin(), data.end());
  session_->nextSequence = static_cast<uint8_t>(sequence + 1);
  if (more) return diag::kPrlOk;
  const bool saved = Save(nam, session_->bytes);
  session_.reset();
  return saved ? diag::kPrlOk : diag::kPrlNotStored;
}

}  // namespace rb310
