// Collects received bytes into frames, one byte at a time.
//
// Flags that come before any other byte are kept but end nothing; the first
// flag after another byte ends the frame. The bytes are kept as received
// (escaped, leading flags included) because the receive trace shows them
// that way. The storage belongs to the caller and is never overrun: a
// stream that fills it without ending a frame is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::diag {

class FrameAssembler {
 public:
  enum class Event {
    None,        // the byte was stored, no frame has ended
    FrameEnded,  // the byte was the flag that ends a frame
    Overflowed,  // the storage was full: what it held was dropped and this
                 // byte starts a new assembly
  };

  FrameAssembler(uint8_t* storage, std::size_t capacity) : storage_(storage), capacity_(capacity) {}

  // Adds one received byte. After FrameEnded the next byte starts a new frame.
  Event Push(uint8_t byte);
  // Forgets everything assembled so far.
  void Reset();

  // Everything assembled, as received.
  std::span<const uint8_t> Received() const { return {storage_, length_}; }
  // After FrameEnded: the frame without its leading flags, that is the body
  // followed by the final flag (never empty).
  std::span<const uint8_t> Frame() const;

 private:
  uint8_t* storage_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool nonFlagSeen_ = false;
  bool ended_ = false;
};

}  // namespace zk::diag
