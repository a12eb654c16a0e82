// A handset model on a temporary state directory, driven with explicit time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "handset.h"
#include "platform/clock.h"
#include "support/diag_frames.h"
#include "support/temp_home.h"

namespace rb310::test {

inline SimOptions DmOptions(uint32_t dmBaud = 115200) {
  SimOptions options;
  options.personality.startInDm = true;
  options.personality.dmBaud = dmBaud;
  options.line.usbModem = false;
  return options;
}

class HandsetRig {
 public:
  explicit HandsetRig(SimOptions options = DmOptions()) : options_(std::move(options)) {
    options_.stateDir = dir_.path();
    handset_ = std::make_unique<Handset>(options_, now_);
  }

  Handset& handset() { return *handset_; }
  const std::filesystem::path& stateDir() const { return dir_.path(); }
  int64_t now() const { return now_; }

  // Feeds raw bytes at `baud` and returns what the handset sends at once.
  std::vector<uint8_t> Feed(const std::vector<uint8_t>& bytes, uint32_t baud = 115200) {
    handset_->Receive(bytes, baud, now_);
    return handset_->Advance(now_);
  }
  std::vector<uint8_t> FeedText(const std::string& text, uint32_t baud = 115200) {
    return Feed(std::vector<uint8_t>(text.begin(), text.end()), baud);
  }
  // Sends one request frame; the decoded answer, nullopt when none came.
  std::optional<std::vector<uint8_t>> Ask(const std::vector<uint8_t>& packet, uint32_t baud = 115200) {
    const auto out = Feed(zk::test::Frame(packet), baud);
    if (out.empty()) return std::nullopt;
    return zk::test::FirstPacket(out);
  }
  // Lets `ms` (unscaled) pass; returns what was sent meanwhile.
  std::vector<uint8_t> Wait(int64_t ms) {
    now_ += zk::platform::Scaled(ms).count() + 1;
    return handset_->Advance(now_);
  }
  // A second handset on the same state directory (a restart of the process).
  void Recreate() { handset_ = std::make_unique<Handset>(options_, now_); }

 private:
  zk::test::TempDir dir_{"rb310-unit"};
  SimOptions options_;
  int64_t now_ = 1000;
  std::unique_ptr<Handset> handset_;
};

inline std::vector<uint8_t> NvRequest(uint8_t code, uint16_t item, std::vector<uint8_t> data = {}) {
  std::vector<uint8_t> packet(133, 0);
  packet[0] = code;
  packet[1] = static_cast<uint8_t>(item & 0xFF);
  packet[2] = static_cast<uint8_t>(item >> 8);
  std::copy(data.begin(), data.end(), packet.begin() + 3);
  return packet;
}

inline uint16_t Le16(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

inline uint32_t Le32(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return Le16(bytes, offset) | (static_cast<uint32_t>(Le16(bytes, offset + 2)) << 16);
}

}  // namespace rb310::test
