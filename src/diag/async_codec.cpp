// CAsync: the frame codec with its fixed send and receive buffers.
#include "diag/frame_codec.h"
#include "zkdownload/zkcomm.h"

int CAsync::Encode(const uint8_t* packet, int count) {
  m_sendLength = 0;
  if (count < 0) return 0;
  m_sendLength = static_cast<int>(
      zk::diag::EncodeFrame(packet, static_cast<std::size_t>(count), m_sendBuffer, sizeof(m_sendBuffer)));
  return m_sendLength;
}

bool CAsync::Decode(const uint8_t* body, int count) {
  m_receiveLength = 0;
  if (count < 0 || count > kBufferSize) return false;
  const auto result = zk::diag::DecodeFrame(body, static_cast<std::size_t>(count), m_receiveBuffer);
  m_receiveLength = static_cast<int>(result.length);
  return result.good;
}
