#include "wire/frame_link.h"

#include "diag/crc16.h"
#include "diag/frame_codec.h"

namespace rb310 {
namespace {

using zk::diag::kEscape;
using zk::diag::kEscapeXor;
using zk::diag::kFlag;

constexpr uint8_t kCarriageReturn = 0x0D;

void AppendEscaped(std::vector<uint8_t>& out, uint8_t byte) {
  if (byte == kFlag || byte == kEscape) {
    out.push_back(kEscape);
    out.push_back(static_cast<uint8_t>(byte ^ kEscapeXor));
  } else {
    out.push_back(byte);
  }
}

}  // namespace

bool FrameReceiver::BodyIsAtLine() const {
  if (body_.size() < 2) return false;
  if ((body_[0] != 'A' && body_[0] != 'a') || (body_[1] != 'T' && body_[1] != 't')) return false;
  for (const uint8_t byte : body_) {
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return true;
}

std::optional<ReceivedFrame> FrameReceiver::Push(uint8_t byte) {
  if (byte == kFlag) {
    if (overlong_) {
      ReceivedFrame frame{ReceivedFrame::Kind::kOverlong, std::vector<uint8_t>(body_.begin(), body_.begin() + 64)};
      Reset();
      return frame;
    }
    if (body_.empty()) return std::nullopt;  // a leading flag
    ReceivedFrame frame;
    std::vector<uint8_t> decoded(body_.size());
    const auto result = zk::diag::DecodeFrame(body_.data(), body_.size(), decoded.data());
    if (result.good && result.length > 2) {
      decoded.resize(result.length - 2);  // without the check bytes
      frame.kind = ReceivedFrame::Kind::kGood;
      frame.bytes = std::move(decoded);
    } else {
      frame.kind = ReceivedFrame::Kind::kBad;
      frame.bytes = body_;
    }
    body_.clear();
    return frame;
  }
  // The host sends its AT commands whatever the handset's mode; a handset
  // already in diagnostic mode drops such a line instead of letting it spoil
  // the next frame.
  if (byte == kCarriageReturn && !overlong_ && BodyIsAtLine()) {
    ReceivedFrame frame{ReceivedFrame::Kind::kStrayText, body_};
    body_.clear();
    return frame;
  }
  if (overlong_) return std::nullopt;
  if (body_.size() >= kMaxBody) {
    overlong_ = true;
    return std::nullopt;
  }
  body_.push_back(byte);
  return std::nullopt;
}

void FrameReceiver::Reset() {
  body_.clear();
  overlong_ = false;
}

std::vector<uint8_t> FrameAnswer(std::span<const uint8_t> packet, bool corruptCheck) {
  std::vector<uint8_t> frame;
  if (!corruptCheck) {
    frame.resize(zk::diag::MaxEncodedSize(packet.size()));
    frame.resize(zk::diag::EncodeFrame(packet.data(), packet.size(), frame.data(), frame.size()));
    return frame;
  }
  frame.reserve(zk::diag::MaxEncodedSize(packet.size()));
  for (const uint8_t byte : packet) AppendEscaped(frame, byte);
  const uint16_t wrong = static_cast<uint16_t>(zk::diag::FrameCheck(packet.data(), packet.size()) ^ 0x5AA5);
  AppendEscaped(frame, static_cast<uint8_t>(wrong & 0xFF));
  AppendEscaped(frame, static_cast<uint8_t>(wrong >> 8));
  frame.push_back(kFlag);
  return frame;
}

}  // namespace rb310
