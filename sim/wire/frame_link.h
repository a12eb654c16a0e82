// The handset's side of the frame link: collects received bytes into frames
// (any number of leading flags, one terminating flag), checks them, and
// frames its answers (no leading flag, terminating flag).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

struct ReceivedFrame {
  enum class Kind {
    kGood,       // check verified; `bytes` is the packet without its check bytes
    kBad,        // check failed or dangling escape; `bytes` is the raw body
    kOverlong,   // longer than any request; `bytes` holds its first bytes
    kStrayText,  // an AT command line that reached the diagnostic side; `bytes` is the text
  };
  Kind kind = Kind::kGood;
  std::vector<uint8_t> bytes;
};

class FrameReceiver {
 public:
  // Longest body accepted: a download-protocol block of 2055 bytes with every
  // byte escaped, with room to spare.
  static constexpr std::size_t kMaxBody = 8192;

  // Feeds one byte; returns a frame (or a stray line) when one ends.
  std::optional<ReceivedFrame> Push(uint8_t byte);
  void Reset();
  bool Idle() const { return body_.empty() && !overlong_; }

 private:
  bool BodyIsAtLine() const;

  std::vector<uint8_t> body_;
  bool overlong_ = false;
};

// The frame for an answer packet; with `corruptCheck` its check bytes are
// wrong (and still escaped where needed).
std::vector<uint8_t> FrameAnswer(std::span<const uint8_t> packet, bool corruptCheck = false);

}  // namespace rb310
