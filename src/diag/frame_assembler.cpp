#include "diag/frame_assembler.h"

#include "diag/frame_codec.h"

namespace zk::diag {

FrameAssembler::Event FrameAssembler::Push(uint8_t byte) {
  if (ended_) Reset();
  Event event = Event::None;
  if (length_ == capacity_) {
    Reset();
    event = Event::Overflowed;
    if (capacity_ == 0) return event;
  }
  storage_[length_++] = byte;
  if (byte != kFlag) {
    nonFlagSeen_ = true;
    return event;
  }
  if (!nonFlagSeen_) return event;  // flags before any frame byte end nothing
  ended_ = true;
  return Event::FrameEnded;
}

void FrameAssembler::Reset() {
  length_ = 0;
  nonFlagSeen_ = false;
  ended_ = false;
}

std::span<const uint8_t> FrameAssembler::Frame() const {
  std::size_t start = 0;
  while (start < length_ && storage_[start] == kFlag) ++start;
  // A frame has ended, so a non-flag byte and the final flag follow `start`.
  return {storage_ + start, length_ - start};
}

}  // namespace zk::diag
