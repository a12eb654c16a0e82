// The preferred roaming lists of both NAMs, kept in <state>/prl/nam<N>.bin as
// the plain byte image, and the block-by-block transfers that fill and read
// them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

class PrlStore {
 public:
  PrlStore(std::filesystem::path directory, std::size_t maxBytes);

  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path PathOf(int nam) const;

  std::optional<std::vector<uint8_t>> Load(int nam) const;
  bool Save(int nam, std::span<const uint8_t> bytes);

  // One block of a write transfer. Sequence 0 starts a new list; a later
  // sequence must follow the previous one (wrapping at 256). The list is
  // stored when the block without the more flag arrives. A repeat of the
  // previous block is answered again and not stored twice. Returns the PRL
  // status of the answer (diag::kPrl...).
  uint8_t WriteBlock(int nam, uint8_t sequence, bool more, std::span<const uint8_t> data);

  // Whether a write transfer has started and not yet ended.
  bool WriteInProgress() const { return session_.has_value(); }
  // Forgets a transfer in progress (the handset restarted).
  void AbandonWrite() {
    session_.reset();
    lastBlock_.reset();
  }

 private:
  struct Session {
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

  std::filesystem::path directory_;
  std::size_t maxBytes_;
  std::optional<Block> lastBlock_;
  std::optional<Session> session_;
};

}  // namespace rb310
